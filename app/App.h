#pragma once
// The entry routine of vx27mouse: fonts, the single-instance rule, the
// skin and custom controls, the registered messages, the main window and
// the message loop, then everything released in reverse order. Returns 0 on
// every path.

namespace app {

int RunProgram(int argc, char** argv);

}  // namespace app
