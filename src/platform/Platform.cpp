#include "platform/Platform.h"

#include <iostream>

namespace px {

Answer DefaultAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel:
      return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
      return Answer::Yes;
    case Buttons::RetryCancel:
      return Answer::Retry;
    case Buttons::AbortRetryIgnore:
      return Answer::Ignore;
  }
  return Answer::Ok;
}

std::string NormalizeLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::unique_ptr<Platform> CreatePlatform(const PlatformOptions& options) {
  if (options.headless) return CreateHeadlessPlatform(options.out ? *options.out : std::cout);
  return CreateDesktopPlatform();
}

}  // namespace px
