#include "backup/run_result.h"

namespace vornel {

int exitCodeFor(const RunResult& result) {
    if (result.outcome != RunResult::Outcome::Completed || result.errors > 0) return 1;
    return result.skippedFiles > 0 ? 3 : 0;
}

std::string runNotice(const RunResult& result) {
    std::string text;
    auto line = [&text](const std::string& s) { text += (text.empty() ? "" : "\n") + s; };
    if (result.failed) line("バックアップ中にエラーが発生しました。");
    if (result.skippedFiles > 0)
        line("コピーできなかったファイルが " + std::to_string(result.skippedFiles) +
             " 件あります。履歴表示で確認して下さい。");
    if (result.errors > 0)
        line("エラーLogに " + std::to_string(result.errors) + " 件の記録があります。");
    return text;
}

}  // namespace vornel
