#pragma once
// Screens and print-outs need a face that shows Japanese; this picks the
// first one installed as the application's font.

void useJapaneseFont();
