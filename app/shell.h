// The application shell: process start, the single-instance guard and the
// property sheet that hosts the three pages.
#pragma once
#include <windows.h>
#include <prsht.h>

#include "pages/pages.h"

// The product's name: the sheet's caption and the single-instance guard's
// name, in every language.
#define CONFIG_TITLE "ZEPHRANIX Configuration"

// The tool's own module: the sheet, the page templates and the strings.
extern HINSTANCE ModuleInstance;

// Fills the sheet header and its page array: the one description of the
// sheet, used by the tool and by tests (which may add PSH_MODELESS).
void DescribeSheet(PROPSHEETHEADERA *header, PROPSHEETPAGEA_V2 pages[SHEET_PAGE_COUNT]);
int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM value);

// Takes the current directory out of the DLL search path for the rest of
// the process. The first thing the tool does.
void LimitDllSearchPath();

// The whole life of the tool; returns the process exit code.
int RunConfigTool(HINSTANCE instance);
