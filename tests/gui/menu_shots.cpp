// Writes a picture of every page of the settings window, filled from a sample system.dat, so
// the layout can be looked at: menu_shots OUTPUT_FOLDER (run with QT_QPA_PLATFORM=offscreen or
// under xvfb-run).
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabBar>
#include <cstdio>

#include "app/menu.h"
#include "support/program_state.h"
#include "support/settings_file.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: menu_shots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    vornel::test::ProgramState<> state;
    vornel::Module1& m = state.m;
    m.Sysdat_path = state.tmp / "system.dat";
    std::map<int, std::string> values = {{3, "1"},     {9, "07"},  {12, "30"}, {48, "1"},
                                         {49, "22"},   {50, "00"}, {51, "1"},  {54, "1"},
                                         {60, "1"},    {63, "00"}, {64, "1A"}, {65, "2B"},
                                         {66, "3C"},   {67, "4D"}, {68, "5E"}, {62, "192.168.1.20"},
                                         {69, "08:15"}};
    values[15] = "/home/user/ドキュメント";
    values[23] = "/media/backup/ドキュメント";
    values[61] = "事務所PC";
    vornel::test::writeSettingsFile(m.Sysdat_path, values);

    vornel::Menu menu(m, state.be);
    menu.fillLists();
    menu.Sysdat_read();
    // The switched groups as the window shows them once it is activated.
    for (auto g : {vornel::CtlGroup::StartShutdown, vornel::CtlGroup::Times,
                   vornel::CtlGroup::AutoShutdown, vornel::CtlGroup::AutoRestart})
        menu.ctl_state(g, g != vornel::CtlGroup::StartShutdown);
    menu.show();
    for (int t = 0; t < menu.SSTab1->count(); ++t) {
        menu.SSTab1->setCurrentIndex(t);
        app.processEvents();
        menu.grab().save(out + QStringLiteral("/page_%1.png").arg(t, 2, 10, QLatin1Char('0')));
    }
    std::printf("window %dx%d tabbar hint %d tabwidget %d\n", menu.width(), menu.height(),
                menu.SSTab1->tabBar()->sizeHint().width(), menu.SSTab1->width());
    return 0;
}
