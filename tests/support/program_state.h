// The program's state around each test. Before every test the program's globals go back to their
// start values (ResetProgramState, and the calculator's own) and Tamsu.ini is TestConfigPath():
// an absent file in a folder of this test program's own, never beside the test binary that the
// test programs running in parallel share. A test that starts the program twice calls
// RestartState() between the runs; it keeps the file.
#pragma once

#include <string>

const std::string& TestConfigPath();
void RestartState();
