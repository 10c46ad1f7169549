#pragma once

// Where the program's two windows meet: each chart computed in the input window is presented in
// the result window, and minimising the input window minimises the program.

namespace kolvex {

class TForm1;
class TForm2;

// Connects the windows for as long as both live: every chart the input window computes goes to
// the result window, and the result window goes out of sight with the input window when that is
// minimised, coming back when it is restored.
void ConnectWindows(TForm1 &form1, TForm2 &form2);

} // namespace kolvex
