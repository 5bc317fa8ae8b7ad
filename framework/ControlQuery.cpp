#include "framework/ControlQuery.h"

#include <string>

#include "framework/Form.h"
#include "model/Wide_win.h"

namespace {

// A button's picture is no row of the table, yet an asker names it too.
TControl* Named(TForm& form, const std::string& name, bool withWindow) {
  TControl* c = withWindow ? form.FindComponent(name) : form.Find(name);
  for (auto it = form.Controls.begin(); !c && it != form.Controls.end(); ++it)
    if (TControl* inner = (*it)->InnerControl(); inner && inner->Name == name) c = inner;
  return c;
}

LRESULT Answer(TForm& form, ATOM atom, int what) {
  wchar_t wide[256] = L"";
  std::string name;
  if (!GlobalGetAtomNameW(atom, wide, 256) || !TryNarrow(wide, name)) return -1;
  // Geometry, Tag and caption are known without the window; only the handle
  // is worth making a waiting page's windows for.
  TControl* c = Named(form, name, what == ciHandle);
  if (!c) return -1;
  switch (what) {
    case ciLeft: return c->Left();
    case ciTop: return c->Top();
    case ciWidth: return c->Width();
    case ciHeight: return c->Height();
    case ciTag: return c->Tag;
    case ciCaption: return GlobalAddAtomW(W(c->Caption().substr(0, 255)).c_str());
    case ciHandle: return reinterpret_cast<LRESULT>(c->Handle);
  }
  return -1;
}

}  // namespace

bool Framework::AnswerControlQuery(TForm& form, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const UINT query = RegisterWindowMessageW(W(ControlInfoMessage).c_str());
  if (msg != query) return false;
  result = Answer(form, static_cast<ATOM>(wParam), static_cast<int>(lParam));
  return true;
}
