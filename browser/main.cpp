// Soundrake: a browser and auditioner for libraries of audio samples.
// With a command-line option it answers without opening a window (for scripts and checks).
#include "BrowserDelegate.h"
#include "CommandLine.h"
#include "DesktopServices.h"
#include "QtDesktopServices.h"
#include "QtPrompter.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc > 1 && argv[1][0] == '-' && argv[1][1] == '-' && std::string(argv[1]) != "--platform") {
        QCoreApplication core(argc, argv);
        QStringList args = core.arguments();
        args.removeFirst();
        QTextStream out(stdout), err(stderr);
        return runSoundrakeCommand(args, out, err);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Soundrake"));
    QApplication::setQuitOnLastWindowClosed(true);

    QtPrompter prompter;
    Prompter::setShared(&prompter);
    QtDesktopServices desktop;
    DesktopServices::setShared(&desktop);

    int status = 0;
    {
        BrowserDelegate controller;
        prompter.setParentWindow(controller.window());
        controller.awakeFromNib();
        status = app.exec();
    }
    Prompter::setShared(nullptr);
    DesktopServices::setShared(nullptr);
    return status;
}
