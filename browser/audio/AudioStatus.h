#pragma once
// Status codes of the player and its platform layers, and the one diagnostic line that
// every failing platform call writes before its status is thrown.

#include <cstdint>

#include "AudioKit.h"

using SrkStatus = int32_t;

constexpr SrkStatus kSrkNoErr = 0;
constexpr SrkStatus kSrkParamErr = -50;             // a required pointer argument is null
constexpr SrkStatus kSrkUnknownErr = -1;            // a failure that carried no status
constexpr SrkStatus kSrkPlayerUnderrun = -10000;    // no filled buffer half when the render asked
constexpr SrkStatus kSrkPlayerEndOfFile = -10001;   // the file has finished playing
constexpr SrkStatus kSrkPlayerNoDestination = -10002;

// Statuses of our own platform layers (file reader, converter, output). Four readable
// characters so that the diagnostic line says what failed.
constexpr SrkStatus kSrkFileOpenFailed = SrkStatus(srkFourCC("fopn"));
constexpr SrkStatus kSrkFileReadFailed = SrkStatus(srkFourCC("frd!"));
constexpr SrkStatus kSrkFormatUnsupported = SrkStatus(srkFourCC("fmt?"));
constexpr SrkStatus kSrkConverterFailed = SrkStatus(srkFourCC("cnv!"));
constexpr SrkStatus kSrkBadSpeed = SrkStatus(srkFourCC("spd?"));
constexpr SrkStatus kSrkNoSuchBus = SrkStatus(srkFourCC("bus?"));
constexpr SrkStatus kSrkOutputFailed = SrkStatus(srkFourCC("out!"));
constexpr SrkStatus kSrkThreadFailed = SrkStatus(srkFourCC("thr!"));

// Writes the status as four characters into out (5 bytes); unprintable bytes become '.'.
void SrkStatusChars(SrkStatus status, char out[5]);

// Writes "Error:<name>=0x<hex>,<decimal>,<four chars>" and a blank line to standard output.
void SrkPrintError(const char *name, SrkStatus status);

// Prints the diagnostic line and throws the status when it is not zero. Not real-time safe.
inline void SrkThrowIfError(SrkStatus status, const char *name) {
    if (status != kSrkNoErr) {
        SrkPrintError(name, status);
        throw status;
    }
}
