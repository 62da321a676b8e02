#include "app/shell/command_line.h"

#include <QCommandLineParser>
#include <cstdio>

#include "app/shell/menu_shell.h"
#include "vornel_version.h"

namespace vornel {
namespace {

const char* const kHelp =
    "使い方: vornelnet [オプション]\n"
    "フォルダのバックアップを取り、通知領域に常駐します。\n"
    "すでに起動しているときは、その設定画面を表示します。\n"
    "\n"
    "オプション:\n"
    "  --backup     バックアップを1回実行し、終わるまで待ちます。\n"
    "               起動中のプログラムがあればそちらで実行します。\n"
    "  --version    バージョンを表示します。\n"
    "  -h, --help   この説明を表示します。\n"
    "\n"
    "終了コード:\n"
    "  0  成功しました\n"
    "  1  失敗したか中止されたか、見つからないフォルダがありました\n"
    "  2  オプションが正しくありません\n"
    "  3  使用中のファイルをスキップしました\n";

void say(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

CommandLine done(int exitCode) { return {CommandLine::Action::Done, exitCode}; }

}  // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's own window-system options keep working the way Qt users know them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption backup(QStringLiteral("backup"));
    parser.addOptions({help, version, backup});
    for (const char* qtOption : {"platform", "display", "style"}) {
        QCommandLineOption option(QString::fromLatin1(qtOption), QString(), QStringLiteral("v"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program = QStringLiteral("vornelnet: ");
    const QString usage = QStringLiteral(" (使い方: vornelnet --help)\n");
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString what = unknown.isEmpty()
                                 ? parser.errorText()
                                 : QStringLiteral("不明なオプションです: ") + unknown.first();
        say(stderr, program + what + usage);
        return done(2);
    }
    if (!parser.positionalArguments().isEmpty()) {
        say(stderr, program + QStringLiteral("余分な引数です: ") +
                        parser.positionalArguments().first() + usage);
        return done(2);
    }
    if (parser.isSet(help)) {
        say(stdout, QString::fromUtf8(kHelp));
        return done(0);
    }
    if (parser.isSet(version)) {
        const std::string ver = appVersionText(kVersionMajor, kVersionMinor, kVersionRevision);
        say(stdout, QStringLiteral("Vornelnet %1 (%2.%3.%4)\n")
                        .arg(QString::fromStdString(ver))
                        .arg(kVersionMajor)
                        .arg(kVersionMinor)
                        .arg(kVersionRevision));
        return done(0);
    }
    return {parser.isSet(backup) ? CommandLine::Action::Backup : CommandLine::Action::Start, 0};
}

}  // namespace vornel
