// What the Windows tests and benchmarks need to start a program of their own:
// UTF-8 paths made wide, and a start whose standard handles the child inherits.
#pragma once

#include <string>
#include <windows.h>

std::wstring wide(const std::string& text);
// Starts PROGRAM with the command LINE in DIR (null: this folder), its standard
// input this process's own, its output and error OUT and ERR (inheritable
// handles). True when it started; PI then holds its handles, for the caller
// to close.
bool start_process(const wchar_t* program, std::wstring& line, HANDLE out, HANDLE err,
                   const wchar_t* dir, PROCESS_INFORMATION& pi);
