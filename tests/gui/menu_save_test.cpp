#include <QLabel>
#include <filesystem>

#include "menu_fixture.h"

namespace vornel::test {
namespace {

class MenuSave : public MenuTest {};

// A ticked wake-up entry with every value but the last `missingMacs` MAC bytes.
Entries wakeUpEntry(int g, int missingMacs) {
    const QString n = QString::number(g);
    Entries e = {{"WOL_chk_" + n, "1"},
                 {"WOL_PCtxt_" + n, "PC"},
                 {"WOL_IPtxt_" + n, "127.0.0.1"},
                 {"WOL_Time_txt_" + n, "08:00"}};
    for (int j = 0; j < 6 - missingMacs; ++j)
        e.push_back({QStringLiteral("WOL_MAC%1_txt_%2").arg(g).arg(j), "0A"});
    return e;
}

TEST_F(MenuSave, EachIncompleteSettingStopsWithItsMessageAtItsField) {
    auto refused = [this](const Entries& edits, const std::string& message, int tab,
                          const QString& focus) {
        SCOPED_TRACE(focus.toStdString() + " " + message);
        start();
        put(edits);
        ASSERT_EQ(m.Chg_flg, 1);
        be.answerNextBox(kAnsOk);
        menu->ok_bt_Click();
        EXPECT_EQ(onlyBox(), message);
        EXPECT_EQ(menu->SSTab1->currentIndex(), tab);
        EXPECT_EQ(focusName(), focus);
        EXPECT_TRUE(sameBytes(fileNow(), image));
        EXPECT_EQ(m.Chg_flg, 1);
    };
    refused({{"dstfld_txt_3", "/tmp"}}, "フォルダ設定4に空文字列が含まれてます！", 3,
            "srcfld_txt_3");
    refused({{"srcfld_txt_7", "/tmp"}}, "フォルダ設定8に空文字列が含まれてます！", 7,
            "srcfld_txt_7");
    const std::string time = "開始時間を入力して下さい！";
    const Entries first = {{"timer_chk", "1"}, {"hour_txt_0", "07"}};
    refused(first, time, 9, "hour_txt_0");
    Entries second = first;
    second.insert(second.end(), {{"min_txt_0", "00"}, {"hour_txt_1", "08"}});
    refused(second, time, 9, "hour_txt_1");
    Entries third = first;
    third.insert(third.end(), {{"min_txt_0", "00"}, {"min_txt_2", "15"}});
    refused(third, time, 9, "hour_txt_2");
    refused({{"asd_chk", "1"}, {"asd_hour_txt", "22"}},
            "自動PCシャットダウンの時間を入力して下さい！", 11, "asd_hour_txt");
    refused({{"arb_chk", "1"}, {"arb_min_txt", "30"}}, "自動PC再起動の時間を入力して下さい！", 11,
            "arb_hour_txt");
    const std::string wol = "WakeOnLanの設定が全て入力されてません！";
    Entries noPort = wakeUpEntry(2, 0);
    noPort.push_back({"WOL_Port_txt", ""});
    refused(noPort, wol, 12, "WOL_PCtxt_2");
    refused(wakeUpEntry(4, 1), wol, 12, "WOL_PCtxt_4");
}

TEST_F(MenuSave, IsRefusedWhileABackupRuns) {
    start();
    put({{"srcfld_txt_0", "/tmp"}});
    m.copydlg_visible = [] { return true; };
    be.answerNextBox(kAnsOk);
    find<QPushButton>("ok_bt")->click();
    EXPECT_EQ(onlyBox(), "バックアップ実行中です！\r終了後更新して下さい");
    EXPECT_TRUE(sameBytes(fileNow(), image));
    EXPECT_EQ(find<QLabel>("saved_lbl")->text(), "") << "nothing was saved";
}

TEST_F(MenuSave, AMissingSourceIsReportedButSaved) {
    start();
    put({{"srcfld_txt_1", "/nonexist/a"}, {"dstfld_txt_1", QString::fromStdString(tmp.str())}});
    be.answerNextBox(kAnsOk);
    menu->ok_bt_Click();
    EXPECT_EQ(onlyBox(), "コピー元フォルダが見つかりません！\r/nonexist/a\rLen = 11 byte");
    EXPECT_EQ(m.Src_fld[1], "/nonexist/a");
    EXPECT_NE(fileNow(), image);
    EXPECT_EQ(focusName(), "mini_bt");
    EXPECT_EQ(find<QLabel>("saved_lbl")->text(), "保存しました");
}

TEST_F(MenuSave, AMissingDestinationIsCreatedOnOkOrKeptOnCancel) {
    start();
    const std::string made = tmp / "made", later1 = tmp / "later1", later2 = tmp / "later2";
    for (const auto& [k, dst] : {std::pair(0, made), std::pair(2, later1), std::pair(5, later2)}) {
        put({{QStringLiteral("srcfld_txt_%1").arg(k), QString::fromStdString(tmp.str())},
             {QStringLiteral("dstfld_txt_%1").arg(k), QString::fromStdString(dst)}});
    }
    for (int answer : {kAnsOk, kAnsCancel, kAnsCancel}) be.answerNextBox(answer);
    std::vector<int> tabsWhenAsked;
    be.onBox = [this, &tabsWhenAsked](const MessageBoxRequest&) {
        tabsWhenAsked.push_back(menu->SSTab1->currentIndex());
    };
    menu->ok_bt_Click();

    ASSERT_EQ(be.boxes.size(), 3u);
    const std::string question = "コピー先フォルダが見つかりません！\r";
    EXPECT_EQ(be.boxes[0].text, question + made + " を新規作成しますか？");
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(be.boxes[2].text, question + later2 + " を新規作成しますか？");
    EXPECT_EQ(tabsWhenAsked[2], 2) << "the first cancel showed pair 3";
    EXPECT_TRUE(std::filesystem::is_directory(made));
    EXPECT_FALSE(std::filesystem::exists(later1));
    EXPECT_EQ(menu->SSTab1->currentIndex(), 5);
    EXPECT_EQ(focusName(), "mini_bt");
    EXPECT_EQ(m.Dst_fld[5], later2);
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST_F(MenuSave, ADestinationThatCannotBeCreatedStopsTheSave) {
    start();
    put({{"srcfld_txt_0", QString::fromStdString(tmp.str())},
         {"dstfld_txt_0", QString::fromStdString(tmp / "no/such")}});
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsOk);
    menu->ok_bt_Click();
    ASSERT_EQ(be.boxes.size(), 2u);
    EXPECT_EQ(be.boxes[1].title, "予期せぬエラー");
    EXPECT_NE(be.boxes[1].text.find("[ok_bt_Click]"), std::string::npos);
    EXPECT_TRUE(sameBytes(fileNow(), image));
}

// Every kind of value in a hand-made file reaches its control, and edits made in the window are
// stored record by record. Times may stay half filled while the timer is off.
TEST_F(MenuSave, HandMadeFileShowsAndEditsAreStoredRecordByRecord) {
    const Changes stored = {{0, "0"},   {2, "1"},  {3, "1"},   {4, "0"},  {9, "07"},    {12, "30"},
                            {15, "/"},  {23, "/"}, {33, "0"},  {41, "1"}, {51, "1"},    {52, "04"},
                            {53, "00"}, {54, "2"}, {56, "15"}, {60, "1"}, {69, "08:15"}};
    Records r = with(stored, defaultRecords());
    r[61] = "\x8E\x96\x96\xB1\x8F\x8A";  // 事務所
    r[62] = "127.0.0.1";
    for (std::size_t j = 0; j < 6; ++j) r[63 + j] = "0" + std::to_string(j);
    start(r);
    const Entries loaded = {
        {"copy_op_0", "1"},       {"cp_skip_1", "1"},          {"timer_chk", "1"},
        {"hour_txt_0", "07"},     {"min_txt_0", "30"},         {"srcfld_txt_0", "/"},
        {"subfld_chk_2", "0"},    {"skip_chk_2", "1"},         {"arb_chk", "1"},
        {"arb_hour_txt", "04"},   {"arb_int_2", "1"},          {"arbint_day_cb", "15"},
        {"arbint_week_cb", "日"}, {"WOL_chk_0", "1"},          {"WOL_PCtxt_0", "事務所"},
        {"WOL_MAC0_txt_5", "05"}, {"WOL_Time_txt_0", "08:15"}, {"WOL_ReptNum_cb", "3"}};
    for (const auto& [name, value] : loaded) EXPECT_EQ(shown(name), value) << name.toStdString();
    EXPECT_EQ(m.Chg_flg, 0);

    const Entries edits = {{"WOL_PCtxt_0", "ﾃｽﾄPC"},    {"arb_int_1", "1"},
                           {"arbint_week_cb", "水"},    {"subfld_chk_2", "1"},
                           {"timer_chk", "0"},          {"hour_txt_1", "08"},
                           {"WOL_IPtxt_1", "127.0.0.2"}};
    put(edits);
    menu->ok_bt_Click();
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_EQ(m.Chg_flg, 0);
    EXPECT_EQ(focusName(), "mini_bt");
    // 水 in 55, ﾃｽﾄPC in 61.
    const Changes saved = {{3, "0"},         {10, "08"},       {33, "1"},
                           {54, "1"},        {55, "\x90\x85"}, {61, "\xC3\xBD\xC4PC"},
                           {72, "127.0.0.2"}};
    EXPECT_TRUE(sameBytes(fileNow(), handMadeSysdat(with(saved, r))));
}

}  // namespace
}  // namespace vornel::test
