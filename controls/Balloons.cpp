#include "controls/Balloons.h"

#include <algorithm>

#include "controls/BalloonLayout.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "model/Errors.h"
#include "model/Wide_win.h"

namespace {
// The tool description as the tooltip of Common Controls 5 knows it.
const UINT BalloonToolInfoSize = 44;
}  // namespace

TBalloons::~TBalloons() { Framework::ClearForeignTextHandler(this); }

void TBalloons::Attach(TForm& form) {
  form_ = &form;
  timer_ = &form.AddTimer();
  timer_->SetInterval(5000);
  timer_->OnTimer = [this] { Hide(); };
  Framework::SetForeignTextHandler(this, [this](TControl& field, const std::u16string& refused) {
    ShowForeignText(field, refused);
  });
}

void TBalloons::LoadHelpTexts() {
  helpTexts_.assign(1, std::string());
  std::vector<wchar_t> buffer(8192);
  for (int n = 1;; ++n) {
    int length = LoadStringW(GetModuleHandleW(nullptr), n, buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) break;
    helpTexts_.push_back(ExpandHelpText(Narrow(buffer.data(), length)));
  }
}

HWND TBalloons::Host() {
  if (HostProvider)
    if (HWND host = HostProvider()) return host;
  return form_->Handle;
}

void TBalloons::CreateBalloonWindow(HWND parent, bool subclass) {
  Framework::LoadCommonControls();
  window_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP | TTS_BALLOON, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Help texts carry their own line breaks; they show only with a maximum
  // width set.
  SendMessageW(window_, TTM_SETMAXTIPWIDTH, 0, 600);
  toolInfo_ = {};
  toolInfo_.cbSize = BalloonToolInfoSize;
  toolInfo_.uFlags = TTF_TRACK | (subclass ? TTF_SUBCLASS : 0);
  toolInfo_.hinst = GetModuleHandleW(nullptr);
}

void TBalloons::AddTool(HWND host, const std::string& text) {
  text_ = W(text);
  toolInfo_.hwnd = host;
  GetClientRect(host, &toolInfo_.rect);
  toolInfo_.lpszText = &text_[0];
  SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&toolInfo_));
}

void TBalloons::SetTitle(int icon, const std::string& title) {
  if (!window_) Make();
  wchar_t buffer[256] = {};
  W(title).copy(buffer, 255);
  SendMessageW(window_, TTM_SETTITLEW, icon, reinterpret_cast<LPARAM>(buffer));
}

void TBalloons::Make() {
  CreateBalloonWindow(form_->Handle, false);
  AddTool(Host(), "");
}

void TBalloons::Show(HWND host, const char* text, UINT lifetime, POINT point, bool show) {
  if (!text) {
    ShowText(host, nullptr, lifetime, point, show);
    return;
  }
  const std::wstring wide = W(std::string(text));
  ShowText(host, &wide, lifetime, point, show);
}

void TBalloons::ShowText(HWND host, const std::wstring* text, UINT lifetime, POINT point, bool show) {
  // Made once the window is on screen; a balloon asked for sooner is shown.
  if (!window_) Make();
  if (!IsWindow(window_)) {
    Make();
    return;
  }
  toolInfo_.hwnd = host;
  if (text) {
    // Wine's balloon draws its longest line in a little less room than it
    // measured and wraps the last character out of sight: a no-break space
    // at the end takes that place.
    text_ = *text + L"\u00A0";
    toolInfo_.lpszText = &text_[0];
    SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&toolInfo_));
  }
  if (show) {
    toolInfo_.rect = {point.x, point.y, 0, 0};
    SendMessageW(window_, TTM_TRACKPOSITION, 0, MAKELPARAM(point.x, point.y));
  } else {
    toolInfo_.rect = {0, 0, 0, 0};
  }
  SendMessageW(window_, TTM_TRACKACTIVATE, show, reinterpret_cast<LPARAM>(&toolInfo_));
  timer_->SetInterval(lifetime);
  timer_->SetEnabled(false);
  timer_->SetEnabled(true);
}

void TBalloons::Hide() {
  if (!timer_ || !timer_->Enabled()) return;
  Show(toolInfo_.hwnd, nullptr, 5000, {0, 0}, false);
  timer_->SetEnabled(false);
  owner_ = nullptr;
}

void TBalloons::ControlLeft(TControl& control) {
  if (control.Handle == owner_) Hide();
}

TProp TBalloons::ExitHides() {
  TProp p;
  p.Event = evExit;
  p.Notify = [this](TControl& c) { ControlLeft(c); };
  return p;
}

TProp TBalloons::EnterHides() {
  TProp p = ExitHides();
  p.Event = evEnter;
  return p;
}

void TBalloons::ShowValidation(TControl& control, const std::string& title, const std::string& text, UINT lifetime) {
  TAnchor anchor = ValidationBalloonAnchor(control.Width(), control.Height());
  ShowAt(control, biWarning, title, text, lifetime, {anchor.X, anchor.Y}, true);
}

void TBalloons::ShowAt(TControl& control, int icon, const std::string& title, const std::string& text, UINT lifetime,
                       POINT anchor, bool owned) {
  ShowAt(control, icon, title, WidenText(text), lifetime, anchor, owned);
}

void TBalloons::ShowAt(TControl& control, int icon, const std::string& title, const std::u16string& text,
                       UINT lifetime, POINT anchor, bool owned) {
  SetTitle(icon, title);
  ClientToScreen(control.Handle, &anchor);
  const std::wstring wide = W(text);
  ShowText(Host(), &wide, lifetime, anchor, true);
  if (owned) owner_ = control.Handle;
}

void TBalloons::ShowForeignText(TControl& field, const std::u16string& refused) {
  const std::u16string character = FirstForeignChar(refused);
  const std::u16string named = NamedChar(character);
  const std::string reason = "Tarvo speichert Texte in der westeuropäischen Zeichentabelle Windows-1252.";
  const std::u16string text =
      refused == character ? u"Das Zeichen " + named + WidenText(" kann Tarvo nicht übernehmen:\r\n" + reason)
                              : u"Der eingefügte Text enthält das Zeichen " + named +
                                    WidenText(", das Tarvo nicht übernehmen kann:\r\n" + reason);
  TAnchor anchor = ValidationBalloonAnchor(field.Width(), field.Height());
  ShowAt(field, biError, "Unerlaubtes Zeichen", text, 5000, {anchor.X, anchor.Y}, true);
}

void TBalloons::ShowHelp(TControl& control, int icon, const std::string& title, const std::string& text,
                         UINT lifetime, bool owned) {
  TAnchor anchor = HelpBalloonAnchor(control.Width(), control.Height());
  ShowAt(control, icon, title, WrapHelpText(text), lifetime, {anchor.X, anchor.Y}, owned);
}

void TBalloons::WindowMoved(int& lastX, int& lastY, LPARAM origin) {
  const int x = LOWORD(origin), y = HIWORD(origin);
  if (window_ && timer_->Enabled()) {
    const int left = toolInfo_.rect.left + x - lastX, top = toolInfo_.rect.top + y - lastY;
    toolInfo_.rect = {left, top, 0, 0};
    SendMessageW(window_, TTM_TRACKPOSITION, 0, MAKELPARAM(left, top));
  }
  lastX = x;
  lastY = y;
}

void TBalloons::KeyDown(TForm& window, WORD& key) {
  if (key == VK_ESCAPE && timer_->Enabled()) {
    Hide();
    key = 0;
  } else if (key == VK_F1) {
    Application.HelpContents();
  } else if (key == VK_F2) {
    TControl* control = window.ActiveControl();
    if (!control || control->Tag <= 0) return;
    if (timer_->Enabled() && owner_ == control->Handle) {
      Hide();
      return;
    }
    const std::string text =
        static_cast<size_t>(control->Tag) < helpTexts_.size() ? helpTexts_[control->Tag] : std::string();
    ShowHelp(*control, biInformation, "Information", text, 0, true);
  }
}
