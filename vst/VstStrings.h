// Number-to-text helpers with the formatting that VST hosts display for plug-in values.
#pragma once

#include "vst/VstInterface.h"

// Writes at most maxLen characters plus a terminator: a fixed field of 8 characters (sign, integer
// digits, '.', fraction digits cut rather than rounded), so 0.7f reads "0.699999" and 20 "20.00000".
// Magnitudes above 9999999 read "Huge!" or "-Huge!".
void float2string(float value, char* text, VstInt32 maxLen);
// "-oo" for a level of 0 or below, else the level in decibels through float2string.
void dB2string(float value, char* text, VstInt32 maxLen);
// The frequency of a period of `samples` frames at `sampleRate`; 0 for 0 frames.
void Hz2string(float samples, float sampleRate, char* text, VstInt32 maxLen);
// The duration of `samples` frames at `sampleRate`, in milliseconds.
void ms2string(float samples, float sampleRate, char* text, VstInt32 maxLen);
// "%7d", or "Huge!" from 10^8 on.
void long2string(VstInt32 value, char* text, VstInt32 maxLen);
// "%7.0f".
void float2stringAsLong(float value, char* text, VstInt32 maxLen);

// Copies at most maxLen characters of source and terminates; a null source gives the empty text.
// Returns the destination.
char* vst_strncpy(char* destination, const char* source, VstInt32 maxLen);
