#pragma once

#include "Application.h"

#include <QStringList>

#include <memory>

class HttpLibrary;
class Prompter;

// The program's arguments as texts, read before Qt's application object takes its own out of
// argv.
QStringList ArgumentsOf(int argc, char **argv);

// Runs the application object inside the Qt application object the caller made, with the
// caller's prompter (and windows); returns the exit status.
int RunApplication(Application::Mode mode, const QStringList &arguments,
                   std::unique_ptr<Prompter> prompter, HttpLibrary &http,
                   Application::DesktopMaker makeDesktop = {});

// The program without windows: questions and messages on the terminal.
int RunProgram(int &argc, char **argv, HttpLibrary &http);
