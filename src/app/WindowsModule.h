#pragma once

class HttpLibrary;

// The windows live in a module of their own (Qt Widgets and what it pulls in), loaded only when
// there is a display: a run without one then starts with Qt Core alone.

// The module's one export, called with main's arguments and its HTTP library; returns the exit
// status.
extern "C" int VarnholtWindowsMain(int *argc, char **argv, HttpLibrary *http);
using WindowsMainFunction = int (*)(int *argc, char **argv, HttpLibrary *http);

// The module's file name, looked for beside the executable (a build tree, a portable copy) and
// then in the installation's library folder.
inline constexpr const char WindowsModuleFile[] = "varnholt-windows.so";

// Loads the module and runs the program with windows; when the module cannot be loaded, says
// which file failed and why and returns the could-not-start status.
int RunWithWindows(int &argc, char **argv, HttpLibrary &http);
