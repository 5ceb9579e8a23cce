// The program's life from start to end, on whatever platform is in force: create the main form from
// the course definition, run the loop, show what went wrong if anything did. Always returns 0.
#pragma once

class TForm1;
extern TForm1* Form1;

int RunProgram(const char* programPath);
