// The settings dialog's benchmark: from start to its first painted frame and
// to the end of its fade-in, and what the program holds while open.
#pragma once

namespace lensbeacon::bench {

void SettingsStartAndMemory(int starts);

}  // namespace lensbeacon::bench
