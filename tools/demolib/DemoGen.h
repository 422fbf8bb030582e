// The demo library: a plausible collection of songs and playlists in the stand-in's library file
// format, made from a seed so that every build has the same library (dates follow the given day so
// that the new-songs filter always finds some).
#pragma once
#include <string>

namespace swirlo::demolib {

// The player's own playlist folders as the demo library and the Wine prefix both name them: auto
// playlists kept there are the player's, which the program leaves out unless asked to list them.
constexpr const char* kSyncFolder = "C:\\ProgramData\\Microsoft\\Media Player\\Sync Playlists\\5D2A0F";
constexpr const char* kSampleFolder = "C:\\ProgramData\\Microsoft\\Media Player\\Sample Playlists\\0C1E77";

// nSongs songs over 14 genres, 30 playlists; today as a calendar date.
std::string MakeDemoLibrary(int nSongs, unsigned seed, int year, int month, int day);

// Days since 1970-01-01 of a calendar date, and back (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d);
void CivilFromDays(long z, int& y, int& m, int& d);

}  // namespace swirlo::demolib
