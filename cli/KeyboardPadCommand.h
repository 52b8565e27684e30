#pragma once
// `load` and `apply` for the keyboard and the pad (the mouse's live in
// load.cpp and apply.cpp, which hand these two devices over).

#include <string>
#include <vector>

namespace cli {

// True when the arguments name the keyboard or the pad.
bool NamesKeyboardOrPad(const std::vector<std::string>& args);
int LoadKeyboardOrPad(const std::vector<std::string>& args);
int ApplyKeyboardOrPad(const std::vector<std::string>& args);

}  // namespace cli
