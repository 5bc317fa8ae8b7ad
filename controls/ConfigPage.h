// A page of the configuration window's notebook: its rows in the window's
// one control table, its handlers and its state. The window assembles the
// pages and lends them its balloons.
#pragma once

#include <string>
#include <vector>

#include "controls/Balloons.h"
#include "framework/Form.h"

// The pages of the notebook.
enum : int { PageStart = 0, PageCreate = 1, PageLink = 2 };

class TConfigPage {
 public:
  TConfigPage(TForm& form, TBalloons& balloons) : form_(form), balloons_(balloons) {}
  virtual ~TConfigPage() = default;
  TConfigPage(const TConfigPage&) = delete;
  TConfigPage& operator=(const TConfigPage&) = delete;

  // The page's rows, in the order of their tabs.
  virtual std::vector<TControlDef> Controls() = 0;
  // Once the window and its controls are made.
  virtual void Created() {}
  // Before the window goes.
  virtual void Destroying() {}

 protected:
  TForm& form_;
  TBalloons& balloons_;
};
