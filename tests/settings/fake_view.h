#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "common/errors.h"
#include "common/module_state.h"
#include "settings/settings_view.h"
#include "settings/sysdat_read.h"
#include "settings/sysdat_save.h"
#include "support/fake_backend.h"
#include "support/sysdat_image.h"
#include "support/temp_dir.h"

namespace vornel::test {

// A settings window without widgets: it keeps each control's content, runs the handlers a
// change runs (the edit mark, and the restart cycle for arb_int), and logs what was set.
class FakeView : public SettingsView {
  public:
    explicit FakeView(Module1& m) : m_(m) {}

    struct Set {
        ControlRef control;
        std::string value;
    };
    std::vector<Set> log;
    std::string caption;
    std::map<int, std::string> trayCaptions;
    std::vector<Tab> tabs;
    std::vector<ControlRef> focused;

    std::string text(ControlRef c) override { return texts_[key(c)]; }
    void setText(ControlRef c, const std::string& t) override {
        log.push_back({c, t});
        change(texts_[key(c)], t);
    }
    int value(ControlRef c) override { return values_[key(c)]; }
    void setValue(ControlRef c, int v) override {
        const Control k = c.control;
        const bool option = k == Control::copy_op || k == Control::cp_skip ||
                            k == Control::rec_op || k == Control::arb_int;
        if (!option && (v < 0 || v > 2)) throw VbError(380, "プロパティの値が不正です。");
        log.push_back({c, std::to_string(v)});
        if (option) {
            if (v != 1 || values_[key(c)] == 1) return;
            for (int i = 0; i < 3; ++i) values_[key({k, i})] = 0;
            if (k == Control::arb_int) m_.Arb_int = std::to_string(c.index);
        }
        change(values_[key(c)], v);
    }
    void setCaption(const std::string& c) override { caption = c; }
    void setTrayCaption(int g, const std::string& c) override { trayCaptions[g] = c; }
    void showTab(Tab tab) override { tabs.push_back(tab); }
    void focus(ControlRef c) override { focused.push_back(c); }

    // Puts content in place as a user would have typed it, without logging.
    void type(ControlRef c, const std::string& t) { texts_[key(c)] = t; }

  private:
    template <class T>
    void change(T& current, const T& wanted) {
        if (current == wanted) return;
        current = wanted;
        m_.Chg_flg = 1;
    }
    static std::tuple<int, int, int> key(ControlRef c) {
        return {static_cast<int>(c.control), c.index, c.sub};
    }
    Module1& m_;
    std::map<std::tuple<int, int, int>, std::string> texts_;
    std::map<std::tuple<int, int, int>, int> values_;
};

// A program folder holding a hand-made system.dat, and a window without widgets for it.
struct ViewedFile {
    FakeBackend be;
    KvCmn15 module{be};
    KvCmn15 window{be};
    Module1 m{module};
    FakeView view{m};
    TempDir dir;
    std::string image;

    explicit ViewedFile(const Records& records) : image(handMadeSysdat(records)) {
        m.Sysdat_path = dir / "system.dat";
        writeFile(m.Sysdat_path, image);
    }
    void load() { Sysdat_read(m, view); }
    void save() { ok_bt_Click(m, window, view); }
    std::string shown(ControlRef c) { return view.text(c); }
    int state(ControlRef c) { return view.value(c); }
    std::string fileNow() { return readFile(m.Sysdat_path); }
    std::string lastBox() { return be.boxes.empty() ? "" : be.boxes.back().text; }
};

}  // namespace vornel::test
