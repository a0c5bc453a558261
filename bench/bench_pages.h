// The pages every benchmark runs on: the generated A4 300 dpi scan, made once per run.
#pragma once

#include "image/dibunit.h"

const TDIB& BenchGrayPage();    // 8-bit gray, 2480 x 3508
const TDIB& BenchColourPage();  // 24-bit colour, 2480 x 3508
