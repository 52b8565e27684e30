// vx27mouse: the configuration program.

#include "app/App.h"

int main(int argc, char** argv) { return app::RunProgram(argc, argv); }
