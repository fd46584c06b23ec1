// Resource ids of the window skeleton's test program.
#pragma once

#define IDR_TEST_FRAME 128
#define IDD_TEST_DIALOG 102
#define IDC_TEST_BUTTON 8
#define TEST_DIALOG_CLASS L"Winframe Test Dialog Class"
