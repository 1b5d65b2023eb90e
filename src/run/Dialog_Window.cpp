#include "run/Dialog_Window.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "graphics/Graphics_D3D.h"
#include "graphics/Graphics_Font.h"
#include "graphics/Graphics_Text.h"
#include "platform/Platform_Input.h"
#include "platform/Platform_Keymap.h"
#include "resources/Font_Class.h"
#include "run/Runtime.h"

namespace px {
namespace {

constexpr int kVkBack = 8, kVkReturn = 13, kVkEscape = 27, kVkUp = 38, kVkDown = 40;
constexpr std::int64_t kFrameMicros = 16'000;
constexpr Size kDefaultPicture{320, 140};
constexpr Size kDefaultButton{80, 25};

// The default window picture: a dark blue-grey gradient in a light frame.
TBitmap32 DefaultPicture() {
  TBitmap32 image(kDefaultPicture.width, kDefaultPicture.height);
  for (int y = 0; y < image.height(); ++y) {
    const auto shade = static_cast<std::uint32_t>(0x50 - 0x28 * y / image.height());
    for (int x = 0; x < image.width(); ++x) {
      const bool frame = x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
      image.row(y)[x] =
          frame ? 0xFFB4BEC8u : 0xFF000000u | (shade << 16) | ((shade + 8) << 8) | (shade + 0x20);
    }
  }
  return image;
}

// A default button image: a bevelled box, lighter under the mouse and
// sunk while pressed.
TBitmap32 DefaultButton(int state) {
  static constexpr std::uint32_t kFace[] = {0xFF3C4658, 0xFF56647C, 0xFF283040};
  TBitmap32 image(kDefaultButton.width, kDefaultButton.height);
  const std::uint32_t light = state == 2 ? 0xFF101820 : 0xFFC8D2DC;
  const std::uint32_t dark = state == 2 ? 0xFFC8D2DC : 0xFF101820;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      std::uint32_t c = kFace[state];
      if (x == 0 || y == 0) c = light;
      if (x == image.width() - 1 || y == image.height() - 1) c = dark;
      image.row(y)[x] = c;
    }
  }
  return image;
}

void FillBox(Runtime& rt, const Rect& r, std::uint32_t bgr, double alpha) {
  const std::uint32_t c = VertexColor(bgr, alpha);
  rt.display.draw.Rectangle(r.x, r.y, r.x + r.width, r.y + r.height, c, c, c, c, false);
}

void FrameBox(Runtime& rt, const Rect& r, std::uint32_t bgr, double alpha) {
  FillBox(rt, {r.x, r.y, r.width, 1}, bgr, alpha);
  FillBox(rt, {r.x, r.y + r.height - 1, r.width, 1}, bgr, alpha);
  FillBox(rt, {r.x, r.y, 1, r.height}, bgr, alpha);
  FillBox(rt, {r.x + r.width - 1, r.y, 1, r.height}, bgr, alpha);
}

// The texture stretched over the box.
void StretchTexture(Runtime& rt, int texture, const Rect& r, double alpha) {
  const RTexture* t = rt.display.textures.Get(texture);
  if (!t || t->width <= 0 || t->height <= 0) return;
  rt.display.draw.TextureExt(texture, 0, 0, r.x, r.y, double(r.width) / t->width,
                             double(r.height) / t->height, 0, 0xFFFFFF, alpha);
}

Size TextureSize(Runtime& rt, int texture, Size fallback) {
  const RTexture* t = rt.display.textures.Get(texture);
  return t ? Size{t->width, t->height} : fallback;
}

bool Inside(const Rect& r, Point p) {
  return p.x >= r.x && p.y >= r.y && p.x < r.x + r.width && p.y < r.y + r.height;
}

Rect Offset(const Rect& r, const Rect& by) {
  return {r.x + by.x, r.y + by.y, r.width, r.height};
}

// The texts the layout treats as line breaks ("#") are escaped, so that a
// "#" the player sees stays a "#".
std::string EscapeHashes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '#') out += '\\';
    out += c;
  }
  return out;
}

bool AltHeld(Runtime& rt) {
  const InputState& in = rt.input;
  return in.held[kVkAlt] || in.held[kVkLeftAlt] || in.held[kVkRightAlt];
}

// The message window's pictures and fonts for one showing.
struct MessageArt {
  int picture = -1;
  std::array<int, 3> buttons{-1, -1, -1};
  const CFont* text = nullptr;
  const CFont* button = nullptr;
  const CFont* input = nullptr;
};

// The image keyed by `key`'s bottom-left pixel when that pixel is fully
// transparent: every pixel of its colour becomes transparent too.
TBitmap32 Keyed(const TBitmap32& image, const TBitmap32& key) {
  TBitmap32 out = image;
  if (key.empty()) return out;
  const std::uint32_t corner = key.GetPixel(0, key.height() - 1);
  if ((corner >> 24) != 0) return out;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x)
      if ((out.row(y)[x] & 0xFFFFFF) == (corner & 0xFFFFFF)) out.row(y)[x] = 0;
  return out;
}

MessageArt MakeMessageArt(Runtime& rt, WindowArt& art) {
  const MessageSettings& s = Dialogs(rt).message;
  MessageArt m;
  if (const CBackground* b = rt.resources.backgrounds.get(s.background); b && !b->image.empty())
    m.picture = art.texture(Keyed(b->image, b->image));
  if (m.picture < 0) m.picture = art.texture(DefaultPicture());
  const CSprite* sprite = rt.resources.sprites.get(s.buttonSprite);
  for (int k = 0; k < 3; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (sprite && i < sprite->images.size() && !sprite->images[i].empty()) {
      m.buttons[i] = art.texture(Keyed(sprite->images[i], sprite->images.front()));
    } else if (sprite && k > 0) {
      m.buttons[i] = m.buttons[i - 1];
    }
    if (m.buttons[i] < 0) m.buttons[i] = art.texture(DefaultButton(k));
  }
  m.text = &art.font(s.textFont);
  m.button = &art.font(s.buttonFont);
  m.input = &art.font(s.inputFont);
  return m;
}

int InputHeight(const CFont& font) {
  return LineHeight(font) + 6;
}

MessageLayout LayoutFor(Runtime& rt, const MessageArt& m, const MessageRequest& request) {
  const MessageSettings& s = Dialogs(rt).message;
  const Size picture = TextureSize(rt, m.picture, kDefaultPicture);
  const int width = s.width >= 1 ? s.width : picture.width;
  const int labelHeight = DialogTextHeight(rt, *m.text, request.text + " ", width - 48);
  // The buttons keep the image list's size; a sprite's images are
  // stretched to it.
  return LayoutMessage(s, picture, labelHeight, kDefaultButton, InputHeight(*m.input),
                       request.input, rt.display.device.backBuffer());
}

}  // namespace

Point DialogMouse(Runtime& rt) {
  return rt.display.WindowToRegion(rt.platform.mousePosition());
}

void RestoreGameInput(Runtime& rt) {
  rt.platform.setInputSink([&rt](const InputEvent& e) { ApplyInputEvent(rt, e); });
}

WindowArt::~WindowArt() {
  for (const int t : textures_) rt_.display.textures.DeleteTexture(t);
  for (const auto& f : fonts_) FreeTextures(rt_.display.textures, *f);
}

int WindowArt::texture(const TBitmap32& image) {
  const int t = rt_.display.textures.TextureFromImage(image);
  if (t >= 0) textures_.push_back(t);
  return t;
}

const CFont& WindowArt::font(const DialogFont& f) {
  auto font = std::make_unique<CFont>();
  const bool bold = f.style == FontStyle::Bold || f.style == FontStyle::BoldItalic;
  const bool italic = f.style == FontStyle::Italic || f.style == FontStyle::BoldItalic;
  RenderSystemFont(*font, f.name, std::max(f.size, 1), bold, italic, 32, 255);
  MakeTextures(rt_.display.textures, *font);
  fonts_.push_back(std::move(font));
  return *fonts_.back();
}

void DrawDialogText(Runtime& rt, const CFont& font, std::string_view text, int x, int y, int width,
                    int halign, std::uint32_t color, double alpha) {
  TextStyle style;
  style.width = width > 0 ? width : -1;
  style.halign = halign;
  style.colored = true;
  for (std::uint32_t& c : style.colors) c = color;
  style.alpha = alpha;
  double at = x;
  if (halign == 1) at = x + width / 2.0;
  if (halign == 2) at = x + width;
  DrawText(rt.display.draw, rt.display.text.layout, font, nullptr, at, y, EscapeHashes(text),
           style);
}

int DialogTextHeight(Runtime& rt, const CFont& font, std::string_view text, int width) {
  return MeasureText(rt.display.text.layout, EscapeHashes(text), font, -1, width > 0 ? width : -1)
      .height;
}

ModalWindow::ModalWindow(Runtime& rt) : rt_(rt) {
  // A dialog opened before the game window is shown (in a game start
  // event) shows it: a window nobody can see could never be closed.
  if (!rt.display.visible) rt.display.SetVisible(true);
  const Size used = rt.display.device.backBuffer();
  rt.display.surfaces.ResetTarget();
  frameImage_ = rt.display.device.ReadBackBuffer(0, 0, used.width, used.height);
  if (frameImage_) {
    for (int y = 0; y < frameImage_->height(); ++y)
      for (int x = 0; x < frameImage_->width(); ++x) frameImage_->row(y)[x] |= 0xFF000000u;
    frame_ = rt.display.textures.TextureFromImage(*frameImage_);
  }
}

ModalWindow::~ModalWindow() {
  // The frame goes back without the window, for whatever the game still
  // draws into it.
  paint([] {});
  if (frame_ >= 0) rt_.display.textures.DeleteTexture(frame_);
  RestoreGameInput(rt_);
}

void ModalWindow::paint(const std::function<void()>& draw) {
  Device& dev = rt_.display.device;
  const Size used = dev.backBuffer();
  dev.SetViewport(0, 0, used.width, used.height);
  dev.SetProjection2D(0, 0, used.width, used.height, 0);
  if (frame_ >= 0) rt_.display.draw.TextureExt(frame_, 0, 0, 0, 0, 1, 1, 0, 0xFFFFFF, 1);
  draw();
}

void ModalWindow::run(const std::function<void()>& draw,
                      const std::function<bool(const InputEvent&)>& handle) {
  bool closed = false;
  rt_.platform.setInputSink([&](const InputEvent& e) {
    if (closed) return;
    if (e.kind == InputEvent::Kind::Close) {
      InputEvent escape;
      escape.code = kVkEscape;
      closed = handle(escape);
      return;
    }
    // Keys still update the held state, so Alt is known.
    if (e.kind == InputEvent::Kind::KeyDown || e.kind == InputEvent::Kind::KeyUp)
      ApplyInputEvent(rt_, e);
    closed = handle(e);
  });
  while (!closed && rt_.display.device.exists()) {
    rt_.platform.pumpEvents();
    if (closed) break;
    rt_.display.device.BeginFrame();
    paint(draw);
    rt_.display.EndFramePresent();
    rt_.platform.waitMicros(kFrameMicros);
  }
}

MessageLayout LayoutMessage(const MessageSettings& s, Size picture, int labelHeight, Size button,
                            int inputHeight, bool input, Size screen) {
  MessageLayout l;
  const int width = s.width >= 1 ? s.width : picture.width;
  l.label = {24, 16, width - 48, labelHeight};
  int height = labelHeight + button.height + 48;
  if (input) height += inputHeight + 16;
  if (s.height >= 1) height = s.height;
  const int buttonTop = height - button.height - 16;
  l.buttons[0] = {24, buttonTop, button.width, button.height};
  l.buttons[1] = {(width - button.width) / 2, buttonTop, button.width, button.height};
  l.buttons[2] = {width - button.width - 24, buttonTop, button.width, button.height};
  l.input = {24, buttonTop - inputHeight - 16, width - 48, inputHeight};
  l.window = {s.left >= 0 ? s.left : (screen.width - width) / 2,
              s.top >= 0 ? s.top : (screen.height - height) / 2, width, height};
  return l;
}

namespace {

void DrawMessageWith(Runtime& rt, const MessageArt& m, const MessageLayout& l,
                     const MessageRequest& request, const MessageView& view) {
  const MessageSettings& s = Dialogs(rt).message;
  const double alpha = s.alpha / 255.0;
  const Rect& w = l.window;
  if (s.showCaption) {
    const int bar = LineHeight(*m.text) + 6;
    FillBox(rt, {w.x - 1, w.y - bar - 1, w.width + 2, w.height + bar + 2}, 0x6E5A3C, alpha);
    DrawDialogText(rt, *m.text, s.caption, w.x + 4, w.y - bar + 3, w.width - 8, 0, 0xFFFFFF, alpha);
  }
  StretchTexture(rt, m.picture, w, alpha);
  DrawDialogText(rt, *m.text, request.text + " ", w.x + l.label.x, w.y + l.label.y, l.label.width,
                 0, s.textFont.color, alpha);
  if (request.input) {
    const Rect box = Offset(l.input, w);
    FillBox(rt, box, s.inputColor, alpha);
    DrawDialogText(rt, *m.input, view.input + "|", box.x + 3, box.y + 3, 0, 0, s.inputFont.color,
                   alpha);
  }
  for (int b = 1; b <= 3; ++b) {
    const std::string& text = request.buttons[static_cast<std::size_t>(b - 1)];
    if (text.empty()) continue;
    const Rect box = Offset(l.buttons[static_cast<std::size_t>(b - 1)], w);
    const bool over = view.hover == b;
    const int image = over ? (view.pressed ? 2 : 1) : 0;
    StretchTexture(rt, m.buttons[static_cast<std::size_t>(image)], box, alpha);
    const int textY = box.y + (box.height - LineHeight(*m.button)) / 2;
    DrawDialogText(rt, *m.button, ButtonCaption(text), box.x, textY, box.width, 1,
                   over ? s.mouseColor : s.buttonFont.color, alpha);
  }
}

int ButtonAt(const MessageLayout& l, const MessageRequest& request, Point p) {
  for (int b = 1; b <= 3; ++b) {
    const auto i = static_cast<std::size_t>(b - 1);
    if (!request.buttons[i].empty() && Inside(Offset(l.buttons[i], l.window), p)) return b;
  }
  return 0;
}

}  // namespace

void DrawMessageWindow(Runtime& rt, WindowArt& art, const MessageRequest& request,
                       const MessageView& view) {
  const MessageArt m = MakeMessageArt(rt, art);
  DrawMessageWith(rt, m, LayoutFor(rt, m, request), request, view);
}

MessageResult RunMessageWindow(Runtime& rt, const MessageRequest& request) {
  MessageResult result;
  result.button = FirstButton(request);
  result.input = request.inputText;
  if (!rt.display.device.exists()) return result;
  WindowArt art(rt);
  const MessageArt m = MakeMessageArt(rt, art);
  const MessageLayout layout = LayoutFor(rt, m, request);
  MessageView view;
  view.input = request.inputText;
  // The preset text is selected: the first key typed replaces it.
  bool selected = request.input;
  int pressedOn = 0;
  ModalWindow window(rt);
  window.run(
      [&] {
        view.hover = ButtonAt(layout, request, DialogMouse(rt));
        view.pressed = view.hover != 0 && view.hover == pressedOn;
        DrawMessageWith(rt, m, layout, request, view);
      },
      [&](const InputEvent& e) {
        if (e.kind == InputEvent::Kind::MouseDown && e.code == 1) {
          pressedOn = ButtonAt(layout, request, DialogMouse(rt));
          return false;
        }
        if (e.kind == InputEvent::Kind::MouseUp && e.code == 1) {
          const int b = ButtonAt(layout, request, DialogMouse(rt));
          const bool chosen = b != 0 && b == pressedOn;
          pressedOn = 0;
          if (chosen) result.button = b;
          return chosen;
        }
        if (const auto b = ButtonForKey(request, e, AltHeld(rt))) {
          result.button = *b;
          return true;
        }
        if (!request.input) return false;
        if (e.kind == InputEvent::Kind::KeyDown && e.code == kVkBack) {
          if (selected) view.input.clear();
          if (!view.input.empty()) view.input.pop_back();
          selected = false;
        } else if (e.kind == InputEvent::Kind::Character && e.code >= 32 && e.code <= 255) {
          if (selected) view.input.clear();
          view.input += static_cast<char>(e.code);
          selected = false;
        }
        return false;
      });
  result.input = view.input;
  return result;
}

std::optional<int> RunMenuWindow(Runtime& rt, const std::vector<MenuItem>& items, Point at) {
  if (!rt.display.device.exists() || items.empty()) return std::nullopt;
  WindowArt art(rt);
  const CFont& font = art.font(DialogFont{"MS Sans Serif", 8, 0, FontStyle::Normal});
  const int row = LineHeight(font) + 6;
  int width = 40;
  int height = 4;
  for (const MenuItem& item : items) {
    width = std::max(width, TextWidth(font, ButtonCaption(item.text)) + 32);
    height += item.index < 0 ? 8 : row;
  }
  const Size screen = rt.display.device.backBuffer();
  const Rect box{std::clamp(at.x, 0, std::max(0, screen.width - width)),
                 std::clamp(at.y, 0, std::max(0, screen.height - height)), width, height};
  const auto itemAt = [&](Point p) {
    int y = box.y + 2;
    for (const MenuItem& item : items) {
      const int h = item.index < 0 ? 8 : row;
      if (item.index >= 0 && p.x >= box.x && p.x < box.x + box.width && p.y >= y && p.y < y + h)
        return item.index;
      y += h;
    }
    return -1;
  };
  int last = -1;
  for (const MenuItem& item : items) last = std::max(last, item.index);
  int current = -1;
  std::optional<int> chosen;
  ModalWindow window(rt);
  window.run(
      [&] {
        const int over = itemAt(DialogMouse(rt));
        if (over >= 0) current = over;
        FillBox(rt, box, 0xF0F0F0, 1);
        FrameBox(rt, box, 0x808080, 1);
        int y = box.y + 2;
        for (const MenuItem& item : items) {
          if (item.index < 0) {
            FillBox(rt, {box.x + 4, y + 3, box.width - 8, 1}, 0xA0A0A0, 1);
            y += 8;
            continue;
          }
          const bool lit = item.index == current;
          if (lit) FillBox(rt, {box.x + 2, y, box.width - 4, row}, 0xD77800, 1);
          DrawDialogText(rt, font, ButtonCaption(item.text), box.x + 16, y + 3, 0, 0,
                         lit ? 0xFFFFFF : 0x000000, 1);
          y += row;
        }
      },
      [&](const InputEvent& e) {
        switch (e.kind) {
          case InputEvent::Kind::KeyDown:
            if (e.code == kVkEscape) return true;
            if (e.code == kVkReturn && current >= 0) {
              chosen = current;
              return true;
            }
            if (e.code == kVkDown && last >= 0) current = current >= last ? 0 : current + 1;
            if (e.code == kVkUp && last >= 0) current = current <= 0 ? last : current - 1;
            return false;
          case InputEvent::Kind::Character:
            // The first item whose shortcut, or else whose first letter, is
            // the character typed.
            for (const MenuItem& item : items) {
              if (item.index < 0 || item.text.empty()) continue;
              const char key = ButtonShortcut(item.text)
                                   ? ButtonShortcut(item.text)
                                   : static_cast<char>(std::toupper(
                                         static_cast<unsigned char>(ButtonCaption(item.text)[0])));
              if (key != 0 && std::toupper(e.code) == static_cast<unsigned char>(key)) {
                chosen = item.index;
                return true;
              }
            }
            return false;
          case InputEvent::Kind::MouseUp: {
            const int over = itemAt(DialogMouse(rt));
            if (over >= 0) chosen = over;
            return true;
          }
          default:
            return false;
        }
      });
  return chosen;
}

namespace {

struct HighscoreArt {
  const CFont* font = nullptr;
  const CFont* caption = nullptr;
  int background = -1;
};

HighscoreArt MakeHighscoreArt(Runtime& rt, WindowArt& art) {
  const HighscoreSettings& s = Dialogs(rt).highscore;
  HighscoreArt h;
  h.font = &art.font(s.font);
  h.caption = &art.font(DialogFont{"MS Sans Serif", 8, 0xFFFFFF, FontStyle::Bold});
  if (const CBackground* b = rt.resources.backgrounds.get(s.background); b && !b->image.empty())
    h.background = art.texture(b->image);
  return h;
}

void DrawHighscoreWith(Runtime& rt, const HighscoreArt& h, const ScoreTable& table, int rank,
                       std::string_view typed) {
  const HighscoreSettings& s = Dialogs(rt).highscore;
  const Size screen = rt.display.device.backBuffer();
  const Rect w{(screen.width - 360) / 2, (screen.height - 400) / 2, 360, 400};
  if (s.border) {
    const int bar = LineHeight(*h.caption) + 6;
    FillBox(rt, {w.x - 3, w.y - bar - 3, w.width + 6, w.height + bar + 6}, 0x6E5A3C, 1);
    DrawDialogText(rt, *h.caption, s.caption, w.x + 2, w.y - bar, w.width - 4, 0, 0xFFFFFF, 1);
  }
  FillBox(rt, w, s.windowColor, 1);
  if (h.background >= 0) StretchTexture(rt, h.background, w, 1);
  for (int r = 1; r <= kScoreRanks; ++r) {
    const ScoreEntry& e = table[static_cast<std::size_t>(r - 1)];
    const std::uint32_t color = r == rank ? s.newColor : s.otherColor;
    const int top = w.y + 48 + 32 * (r - 1);
    DrawDialogText(rt, *h.font, std::to_string(r) + ".", w.x + 8, top, 33, 2, color, 1);
    const std::string name = r == rank ? std::string(typed) + "|" : e.name;
    DrawDialogText(rt, *h.font, name, w.x + 48, top, 0, 0, color, 1);
    DrawDialogText(rt, *h.font, std::to_string(e.score), w.x + 264, top, 73, 2, color, 1);
  }
  DrawDialogText(rt, *h.font, s.closeText, w.x + 112, w.y + 376, 0, 0, s.otherColor, 1);
}

}  // namespace

void DrawHighscoreWindow(Runtime& rt, WindowArt& art, const ScoreTable& table, int rank,
                         std::string_view typed) {
  DrawHighscoreWith(rt, MakeHighscoreArt(rt, art), table, rank, typed);
}

std::string RunHighscoreWindow(Runtime& rt, const ScoreTable& table, int rank) {
  std::string typed;
  if (!rt.display.device.exists()) return typed;
  WindowArt art(rt);
  const HighscoreArt h = MakeHighscoreArt(rt, art);
  ModalWindow window(rt);
  window.run([&] { DrawHighscoreWith(rt, h, table, rank, typed); },
             [&](const InputEvent& e) {
               if (e.kind == InputEvent::Kind::KeyDown) {
                 if (e.code == kVkEscape || e.code == kVkReturn) return true;
                 if (e.code == kVkBack && rank > 0 && !typed.empty()) typed.pop_back();
               } else if (e.kind == InputEvent::Kind::Character && rank > 0 && e.code >= 32 &&
                          e.code <= 255) {
                 typed += static_cast<char>(e.code);
               }
               return false;
             });
  return typed;
}

namespace {

struct ChoiceArt {
  const CFont* text = nullptr;
  const CFont* button = nullptr;
  const CFont* caption = nullptr;
  std::array<int, 3> images{-1, -1, -1};
};

ChoiceArt MakeChoiceArt(WindowArt& art, const ChoiceWindow& w) {
  ChoiceArt c;
  c.text = &art.font(w.font);
  c.button = &art.font(DialogFont{"MS Sans Serif", 8, 0xFFFFFF, FontStyle::Bold});
  c.caption = c.button;
  for (int k = 0; k < 3; ++k) c.images[static_cast<std::size_t>(k)] = art.texture(DefaultButton(k));
  return c;
}

Rect ChoiceClient(Runtime& rt, const ChoiceWindow& w) {
  const Size screen = rt.display.device.backBuffer();
  return {(screen.width - w.size.width) / 2, (screen.height - w.size.height) / 2, w.size.width,
          w.size.height};
}

Rect ChoiceButton(const Rect& client, std::size_t i) {
  return {client.x + 8 + static_cast<int>(i) * (kDefaultButton.width + 8),
          client.y + client.height - kDefaultButton.height - 8, kDefaultButton.width,
          kDefaultButton.height};
}

// The last lines of the text that fit the box, each cut to its width.
void DrawTextEnd(Runtime& rt, const CFont& font, std::string_view text, const Rect& box) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  const int height = std::max(LineHeight(font), 1);
  const auto fit = static_cast<std::size_t>(std::max(box.height / height, 1));
  const std::size_t first = lines.size() > fit ? lines.size() - fit : 0;
  int y = box.y;
  for (std::size_t i = first; i < lines.size(); ++i, y += height) {
    std::string_view line = lines[i];
    while (!line.empty() && TextWidth(font, line) > box.width) line.remove_suffix(1);
    DrawDialogText(rt, font, line, box.x, y, 0, 0, 0x000000, 1);
  }
}

void DrawChoiceWith(Runtime& rt, const ChoiceArt& c, const ChoiceWindow& w, int hover,
                    bool pressed) {
  const Rect client = ChoiceClient(rt, w);
  const int bar = LineHeight(*c.caption) + 6;
  FillBox(rt, {client.x - 3, client.y - bar - 3, client.width + 6, client.height + bar + 6},
          0x6E5A3C, 1);
  DrawDialogText(rt, *c.caption, w.caption, client.x + 2, client.y - bar, client.width - 4, 0,
                 0xFFFFFF, 1);
  FillBox(rt, client, 0xD8E0E8, 1);
  const Rect memo{client.x + 8, client.y + 8, client.width - 16,
                  client.height - kDefaultButton.height - 24};
  FillBox(rt, memo, 0xFFFFFF, 1);
  FrameBox(rt, memo, 0x808080, 1);
  DrawTextEnd(rt, *c.text, w.text, {memo.x + 4, memo.y + 2, memo.width - 8, memo.height - 4});
  for (std::size_t i = 0; i < w.buttons.size(); ++i) {
    const Rect box = ChoiceButton(client, i);
    const bool over = hover == static_cast<int>(i);
    StretchTexture(rt, c.images[over ? (pressed ? 2 : 1) : 0], box, 1);
    DrawDialogText(rt, *c.button, ButtonCaption(w.buttons[i]), box.x,
                   box.y + (box.height - LineHeight(*c.button)) / 2, box.width, 1,
                   over ? 0x00FFFF : 0xFFFFFF, 1);
  }
}

int ChoiceAt(Runtime& rt, const ChoiceWindow& w, Point p) {
  const Rect client = ChoiceClient(rt, w);
  for (std::size_t i = 0; i < w.buttons.size(); ++i)
    if (Inside(ChoiceButton(client, i), p)) return static_cast<int>(i);
  return -1;
}

// The button whose shortcut is the key or character, -1 when none.
int ChoiceForShortcut(const ChoiceWindow& w, int c) {
  if (c <= 0 || c > 255) return -1;
  for (std::size_t i = 0; i < w.buttons.size(); ++i) {
    const char shortcut = ButtonShortcut(w.buttons[i]);
    if (shortcut != 0 && static_cast<unsigned char>(shortcut) == std::toupper(c))
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

void DrawChoiceWindow(Runtime& rt, WindowArt& art, const ChoiceWindow& window, int hover,
                      bool pressed) {
  DrawChoiceWith(rt, MakeChoiceArt(art, window), window, hover, pressed);
}

int RunChoiceWindow(Runtime& rt, const ChoiceWindow& w) {
  if (!rt.display.device.exists()) return w.defaultButton;
  WindowArt art(rt);
  const ChoiceArt c = MakeChoiceArt(art, w);
  int chosen = -1;
  int pressedOn = -1;
  ModalWindow window(rt);
  window.run(
      [&] {
        const int hover = ChoiceAt(rt, w, DialogMouse(rt));
        DrawChoiceWith(rt, c, w, hover, hover >= 0 && hover == pressedOn);
      },
      [&](const InputEvent& e) {
        switch (e.kind) {
          case InputEvent::Kind::KeyDown:
            if (e.code == kVkEscape) return true;
            if (e.code == kVkReturn) {
              chosen = w.defaultButton;
              return true;
            }
            if (AltHeld(rt)) chosen = ChoiceForShortcut(w, e.code);
            return chosen >= 0;
          case InputEvent::Kind::Character:
            chosen = ChoiceForShortcut(w, e.code);
            return chosen >= 0;
          case InputEvent::Kind::MouseDown:
            if (e.code == 1) pressedOn = ChoiceAt(rt, w, DialogMouse(rt));
            return false;
          case InputEvent::Kind::MouseUp: {
            const int at = ChoiceAt(rt, w, DialogMouse(rt));
            const bool done = e.code == 1 && at >= 0 && at == pressedOn;
            pressedOn = -1;
            if (done) chosen = at;
            return done;
          }
          default:
            return false;
        }
      });
  return chosen;
}

}  // namespace px
