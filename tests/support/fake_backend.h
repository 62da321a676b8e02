#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/null_backend.h"

namespace vornel::test {

// Scripted stand-in for the desktop. Boxes are answered from a queue (an unexpected box fails
// the test); everything the program asks for is recorded; the clock moves only when told to,
// or by the time a polling loop says it would wait.
class FakeBackend : public NullBackend {
  public:
    // --- scripting ---
    void answerNextBox(int answer) { boxAnswers.push_back(answer); }
    // Sets the local date and time; `seconds` may carry a fraction.
    void setClock(int year, int month, int day, double secondsOfDay);
    // Moves both clocks forward, rolling the date over at midnight.
    void advance(double seconds);

    // --- recorded ---
    std::vector<MessageBoxRequest> boxes;
    std::vector<int> sounds;
    std::vector<std::string> shellOpened;
    struct HelpCall {
        std::string file;
        int command;
        int context;
    };
    std::vector<HelpCall> helpCalls;
    std::vector<PowerRequest> powerRequests;
    struct TrayCall {
        std::string op;
        WindowHandle owner;
        IconHandle icon;
        std::string tip;
    };
    std::vector<TrayCall> trayCalls;
    struct TrayNotice {
        WindowHandle owner;
        std::string title;
        std::string text;
    };
    std::vector<TrayNotice> trayNotices;
    std::vector<std::string> folderDialogStarts;
    std::vector<WindowHandle> raisedWindows;
    int pumpCount = 0;

    // --- answers and settings ---
    std::deque<int> boxAnswers;
    // Runs inside showMessageBox, after recording and before the answer is taken (may push an
    // answer, or act like a nested event).
    std::function<void(const MessageBoxRequest&)> onBox;
    // Answers endSession (whether a box was open); none open when empty.
    std::function<bool()> onEndSession;
    // Runs on every processEvents, with the 1-based pump number.
    std::function<void(int)> onPump;
    // Seconds the clock moves on each processEvents(0); a wait of n ms moves it n ms.
    double secondsPerPump = 0;
    bool shellResult = true;
    std::function<void()> lastShellLateFailure;
    bool helpResult = true;
    OsVersion os;
    std::string windowsDir = "/usr";
    std::string systemDir = "/usr/lib";
    std::deque<std::string> folderAnswers;
    std::deque<OpenFileResult> openAnswers;
    bool trayPresent = false;
    bool trayArea = true;  // the desktop has a notification area

    // --- what the fake answers or records; the rest does nothing ---
    int showMessageBox(const MessageBoxRequest& request) override;
    void playSystemSound(int type) override { sounds.push_back(type); }
    void processEvents(int maxWaitMs) override;
    WallClock wallClock() override { return clock_; }
    double monotonicSeconds() override { return monotonic_; }
    bool shellOpen(const std::string& path, std::function<void()> onLateFailure) override {
        shellOpened.push_back(path);
        lastShellLateFailure = std::move(onLateFailure);
        return shellResult;
    }
    bool openHelp(WindowHandle, const std::string& helpFile, int command, int context) override {
        helpCalls.push_back({helpFile, command, context});
        return helpResult;
    }
    void requestPowerAction(PowerRequest request) override { powerRequests.push_back(request); }
    OsVersion osVersion() override { return os; }
    std::string windowsDirectory() override { return windowsDir; }
    std::string systemDirectory() override { return systemDir; }
    std::string folderDialog(WindowHandle, const std::string&,
                             const std::string& startFolder) override {
        folderDialogStarts.push_back(startFolder);
        return takeFront(folderAnswers);
    }
    OpenFileResult openFileDialog(WindowHandle, const std::string&, const std::string&,
                                  const std::string&) override {
        return takeFront(openAnswers);
    }
    bool trayAdd(WindowHandle owner, IconHandle icon, const std::string& tip) override {
        trayCalls.push_back({"add", owner, icon, tip});
        trayPresent = true;
        return true;
    }
    bool trayModify(WindowHandle owner, IconHandle icon, const std::string& tip) override {
        trayCalls.push_back({"modify", owner, icon, tip});
        return trayPresent;
    }
    bool trayDelete(WindowHandle owner) override {
        trayCalls.push_back({"delete", owner, 0, {}});
        return std::exchange(trayPresent, false);
    }
    void trayNotify(WindowHandle owner, const std::string& title,
                    const std::string& text) override {
        trayNotices.push_back({owner, title, text});
    }
    bool trayAreaAvailable() override { return trayArea; }
    void windowToFront(WindowHandle window) override { raisedWindows.push_back(window); }
    bool endSession() override { return onEndSession ? onEndSession() : false; }

  private:
    // The next scripted answer, or an empty one (a cancelled dialog) when none is left.
    template <typename T>
    static T takeFront(std::deque<T>& answers) {
        if (answers.empty()) return {};
        T a = std::move(answers.front());
        answers.pop_front();
        return a;
    }

    WallClock clock_{2026, 12, 6, 1, 12 * 3600.0};  // Sunday at noon
    double monotonic_ = 1000.0;
};

}  // namespace vornel::test
