// An editor's own changes to its view: the controls report them as if the
// user had made them (a name set is a name typed, a node selected is a node
// clicked), and the editor ignores those reports while the change lasts,
// nested changes included.
#pragma once

class TViewChange {
 public:
  explicit TViewChange(bool& changing) : changing_(changing), was_(changing) { changing_ = true; }
  ~TViewChange() { changing_ = was_; }
  TViewChange(const TViewChange&) = delete;
  TViewChange& operator=(const TViewChange&) = delete;

 private:
  bool& changing_;
  bool was_;
};
