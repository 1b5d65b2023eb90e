#include "run/Dialog_State.h"

#include "run/Runtime.h"

namespace px {

DialogState& Dialogs(Runtime& rt) {
  if (!rt.dialogs) rt.dialogs = MakeOwnedState<DialogState>();
  return *rt.dialogs;
}

void SetDialogAnswers(Runtime& rt, std::string_view text) {
  std::deque<std::string>& answers = Dialogs(rt).answers;
  answers.clear();
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    answers.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

std::optional<std::string> NextDialogAnswer(Runtime& rt) {
  std::deque<std::string>& answers = Dialogs(rt).answers;
  if (answers.empty()) return std::nullopt;
  std::string answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace px
