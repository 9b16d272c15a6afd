// vx4ctl: edits and reads amplifiers on the bus from the command line.

#include "CliCommands.h"

#include "app/UiLanguage.h"
#include "devices/DeviceListFile.h"
#include "serial/CMscomm1.h"
#include "serial/PortRegistry.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    setUiLanguage(englishUi);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const Cli::ParseResult parsed = Cli::parseArguments(app.arguments().mid(1));
    if (!parsed.ok()) {
        err << "vx4ctl: " << parsed.error << Qt::endl << Cli::usageText();
        return Cli::exitUsage;
    }
    // Port numbers are those the port list gives, so list once first.
    QList<SSerInfo> initial;
    if (parsed.invocation.portNumber)
        ListSerialPorts(initial);

    CMscomm1 link;
    Cli::Environment environment{
        link,
        out,
        err,
        [] {
            QList<SSerInfo> list;
            ListSerialPorts(list);
            return list;
        },
        [](const QString& path) { return PortRegistry::numberOf(path); },
        [](int number) { return PortRegistry::pathOf(number); },
        [] { return DeviceListFile::defaultPath(); },
    };
    return Cli::run(parsed.invocation, environment);
}
