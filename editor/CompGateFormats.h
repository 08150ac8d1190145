// The editor's value-to-text converters: a parameter value (0..1) to the text of its read-out.
#pragma once

// Each writes a zero-terminated text of at most a few dozen characters into text.
void formatGain(float value, char* text);       // "%d" dB of -20..+20 (InputGain, CompMakeup)
void formatShelf(float value, char* text);      // "%.2f" of 0.01..22.01 (LPShelf, HPShelf)
void formatThreshold(float value, char* text);  // "%d" dB of -60..0
void formatRatio(float value, char* text);      // "1:%d" of 1..30
void formatAttack(float value, char* text);     // "%d" ms of 0..150
void formatRelease(float value, char* text);    // "%d" ms of 0..1500
