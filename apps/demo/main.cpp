// The demo: the five data-aware components on the sample database, in a Qt window.
//   vorndemo [--customers N] [--postgres CONNINFO | --mariadb CONNINFO] [--screenshot FILE]

#include "apps/demo/DemoDatabase.h"
#include "apps/demo/DemoWindow.h"

#include "Source/VornData.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtWidgetSet.h"

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

using namespace vorn;

namespace {

struct TDemoOptions {
    int Customers = 10000;
    std::string PostgresConnInfo;
    std::string MariaDbConnInfo;
    std::string ScreenshotFile;
};

TDemoOptions ParseOptions(int argc, char** argv) {
    TDemoOptions Options;
    for (int Index = 1; Index < argc; ++Index) {
        const std::string Option = argv[Index];
        if (Option != "--customers" && Option != "--postgres" && Option != "--mariadb" &&
            Option != "--screenshot")
            throw Exception("Unknown option " + Option +
                            " (use --customers N, --postgres CONNINFO, --mariadb CONNINFO, "
                            "--screenshot FILE)");
        if (Index + 1 >= argc)
            throw Exception("Option " + Option + " needs a value");
        const std::string Value = argv[++Index];
        if (Option == "--customers") {
            std::size_t Used = 0;
            try {
                Options.Customers = std::stoi(Value, &Used);
            } catch (const std::exception&) {
                Used = 0;
            }
            if (Used != Value.size() || Options.Customers < 1)
                throw Exception("--customers needs a positive whole number, not \"" + Value + "\"");
        } else if (Option == "--postgres") {
            Options.PostgresConnInfo = Value;
        } else if (Option == "--mariadb") {
            Options.MariaDbConnInfo = Value;
        } else {
            Options.ScreenshotFile = Value;
        }
    }
    if (!Options.PostgresConnInfo.empty() && !Options.MariaDbConnInfo.empty())
        throw Exception("Use either --postgres or --mariadb, not both");
    return Options;
}

// The generated sample databases are kept between runs, one per size.
std::filesystem::path SampleDatabaseFolder() {
    const char* Cache = std::getenv("XDG_CACHE_HOME");
    return (Cache != nullptr && *Cache != '\0')
               ? std::filesystem::path(Cache) / "vorndemo"
               : std::filesystem::temp_directory_path() / "vorndemo";
}

void RegisterDemoDatabase(const TDemoOptions& Options) {
    if (!Options.PostgresConnInfo.empty())
        RegisterPostgresDemoDatabase(Options.PostgresConnInfo, Options.Customers);
    else if (!Options.MariaDbConnInfo.empty())
        RegisterMariaDbDemoDatabase(Options.MariaDbConnInfo, Options.Customers);
    else
        RegisterSQLiteDemoDatabase(SampleDatabaseFolder(), Options.Customers);
}

int RunDemo(const TDemoOptions& Options) {
    RegisterDemoDatabase(Options);
    TQtWidgetSet WidgetSet;
    TDemoWindow Window(DemoFormFile());
    WidgetSet.CreatePeers(Window.Form());
    Window.Form().Show();
    QWidget* Widget = TQtWidgetSet::WidgetOf(Window.Form());
    if (Options.ScreenshotFile.empty())
        return QApplication::exec();

    QApplication::processEvents();
    Window.PlayScene();
    QApplication::processEvents();
    if (Widget == nullptr ||
        !Widget->grab().save(QString::fromStdString(Options.ScreenshotFile), "PNG"))
        throw Exception("Could not write the screenshot " + Options.ScreenshotFile);
    std::cout << "Screenshot written to " << Options.ScreenshotFile << "\n";
    return 0;
}

// A start-up error is shown in a dialog as well, where someone can see one: not for a
// screenshot, and not without a screen.
bool ShowsStartupErrorDialog(int argc, char** argv) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return false;
    for (int Index = 1; Index < argc; ++Index)
        if (std::string(argv[Index]) == "--screenshot")
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::cout << "usage: vorndemo [--customers N] [--postgres CONNINFO | --mariadb CONNINFO] "
                     "[--screenshot FILE]\n";
        return 0;
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication Application(argc, argv);
    Initialize();
    int Result = 1;
    try {
        Result = RunDemo(ParseOptions(argc, argv));
    } catch (const std::exception& Error) {
        std::cerr << "vorndemo: " << Error.what() << "\n";
        if (ShowsStartupErrorDialog(argc, argv))
            QMessageBox::critical(nullptr, QStringLiteral("vorndemo"), ToQString(Error.what()));
    }
    Finalize();
    return Result;
}
