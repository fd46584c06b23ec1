// Resource and command ids of Lensdial, shared by its resource script and code.
#pragma once

#define IDD_LENSDIAL_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_LENSDIAL_ACCEL 129
#define IDC_BTN_CLOSE 8
#define ID_KEY_CLOSE 32771
#define ID_KEY_OFF 32773
#define ID_KEY_ON 32774
