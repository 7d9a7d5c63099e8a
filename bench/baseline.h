// The start-up baseline: the floor this platform sets for the tool's
// start-up. It makes the platform calls the tool makes while it starts
// (Direct3D 8 caps of the HAL device, a DirectSound object for the default
// device, DirectInput 8 with the keyboard and the game-controller
// enumeration), from the same place (the first page's WM_INITDIALOG, with
// the sheet as cooperative-level window), and shows an empty three-page
// sheet with the size, font and language of the tool's. Built only for the
// benchmarks; never shipped.
#pragma once
#include <windows.h>
#include <prsht.h>

// Empty page templates, in page order (ids apart from the tool's 101..103,
// so that a program can hold both).
#define BASELINE_PAGE_1 201
#define BASELINE_PAGE_2 202
#define BASELINE_PAGE_3 203
#define BASELINE_PAGES 3

#define BASELINE_TITLE "Start-up baseline"

// Fills a modal sheet header and its pages like the tool's DescribeSheet.
void DescribeBaselineSheet(HINSTANCE instance, PROPSHEETHEADERA *header,
                           PROPSHEETPAGEA_V2 pages[BASELINE_PAGES]);
// Releases what the first page opened (after the sheet has closed).
void CloseBaselineDevices();
