#pragma once

// Where the program's windows meet: the input window opens first and the result window is built
// once it is on the screen; each chart computed in the input window is presented in the result
// window, and minimising the input window minimises the program.

#include <memory>

#include "ui/biomain.h"

namespace kolvex {

class TForm2;

// Connects the windows for as long as both live: every chart the input window computes goes to
// the result window, and the result window goes out of sight with the input window when that is
// minimised, coming back when it is restored.
void ConnectWindows(TForm1 &form1, TForm2 &form2);

// The program's windows for one run.
class Shell final {
public:
  // Makes the input window, which reads today's date.
  Shell();
  ~Shell();
  Shell(const Shell &) = delete;
  Shell &operator=(const Shell &) = delete;

  // Shows the input window. Once it has been painted, it reads the default person, the windows
  // get their icon and the result window is built and connected.
  void Show();

private:
  void BuildResultWindow();

  TForm1 form1_;
  std::unique_ptr<TForm2> form2_; // hidden until the first chart
};

} // namespace kolvex
