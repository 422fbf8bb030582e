#include "tools/demolib/DemoGen.h"

#include <cstdint>
#include <vector>

namespace swirlo::demolib {

namespace {

// A small fixed generator, so that the library is the same on every machine.
class Rng {
public:
    explicit Rng(unsigned seed) : m_s(seed * 2654435761u + 1) {}
    std::uint32_t Next() {
        m_s ^= m_s << 13;
        m_s ^= m_s >> 7;
        m_s ^= m_s << 17;
        return static_cast<std::uint32_t>(m_s >> 11);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint64_t m_s;
};

const char* const kGenres[] = {"Rock", "Pop", "Jazz", "Blues", "Classical", "Country", "Electronic",
                               "Hip-Hop", "Folk", "Reggae", "Soul", "Metal", "Latin", "Soundtrack"};
const char* const kWords[] = {"Blue", "Night", "River", "Golden", "Echo", "Summer", "Stone", "Velvet",
                              "Morning", "Fire", "Silver", "Dream", "Caf\xC3\xA9", "\xC3\x9C" "ber",
                              "Ni\xC3\xB1o", "Highway", "Rain", "Shadow", "Heart", "City", "Ocean",
                              "Wild", "Paper", "Moon", "Glass", "Electric", "Honey", "Thunder",
                              "Lonely", "Dancing", "Broken", "Sweet", "Northern", "Crystal", "Last"};
const int kWordCount = sizeof(kWords) / sizeof(kWords[0]);
// The ratings the player stores for 0 (unrated) to 5 stars, with a realistic share of each.
const int kRatings[] = {0, 0, 0, 0, 0, 0, 0, 1, 25, 25, 25, 50, 50, 50, 50, 75, 75, 75, 99, 99};

struct Song {
    std::string sLine;
    int nRating;
    long nAddedDay;
};

std::string Words(Rng& r, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += kWords[r.Below(kWordCount)];
    }
    return s;
}

std::string DateText(long days) {
    int y, m, d;
    CivilFromDays(days, y, m, d);
    return std::to_string(y * 10000 + m * 100 + d);
}

void AddPlaylist(std::string& out, const std::string& title, bool bAuto, const std::string& file,
                 const std::vector<int>& songs) {
    out += "playlist\t" + title + (bAuto ? "\tauto\t" : "\tstatic\t") + file + "\n";
    for (int s : songs) out += "entry\t" + std::to_string(s + 1) + "\n";
}

}  // namespace

long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

std::string MakeDemoLibrary(int nSongs, unsigned seed, int year, int month, int day) {
    Rng r(seed);
    const long today = DaysFromCivil(year, month, day);
    std::vector<Song> songs;
    songs.reserve(static_cast<std::size_t>(nSongs));
    // Artists keep to one genre and make albums of 8 to 14 tracks.
    // The artist number keeps every path distinct.
    for (int nArtist = 1; static_cast<int>(songs.size()) < nSongs; ++nArtist) {
        std::string artist = "The " + Words(r, 2) + (r.Below(3) == 0 ? " Band " : " ") + std::to_string(nArtist);
        std::string genre = r.Below(100) == 0 ? "" : kGenres[r.Below(14)];
        int albums = 1 + r.Below(4);
        for (int a = 0; a < albums && static_cast<int>(songs.size()) < nSongs; ++a) {
            std::string album = Words(r, 1 + r.Below(3));
            // Most of the library is years old; a tenth arrived in the last two months.
            long added = r.Below(10) == 0 ? today - r.Below(60) : today - 60 - r.Below(8 * 365);
            int tracks = 8 + r.Below(7);
            for (int t = 1; t <= tracks && static_cast<int>(songs.size()) < nSongs; ++t) {
                std::string title = Words(r, 1 + r.Below(4));
                std::string nn = (t < 10 ? "0" : "") + std::to_string(t);
                Song s;
                s.nRating = kRatings[r.Below(20)];
                s.nAddedDay = added;
                std::string path = "C:\\Users\\Public\\Music\\" + artist + "\\" + album + "\\" + nn + " " + title + ".mp3";
                s.sLine = "song\t" + path + "\t" + title + "\t" + genre + "\t" + std::to_string(s.nRating) + "\t" +
                          DateText(added) + "\n";
                songs.push_back(std::move(s));
            }
        }
    }
    std::string out = "SWIRLO-LIBRARY 1\n# Demo library: " + std::to_string(nSongs) + " songs, 30 playlists\n";
    for (const Song& s : songs) out += s.sLine;

    const std::string user = "C:\\Users\\Public\\Music\\Playlists\\";
    const std::string sync = std::string(kSyncFolder) + "\\";
    const std::string sample = std::string(kSampleFolder) + "\\";
    auto randomSongs = [&](int n) {
        std::vector<int> v;
        for (int i = 0; i < n; ++i) v.push_back(r.Below(nSongs));
        return v;
    };
    auto where = [&](auto keep, std::size_t most) {
        std::vector<int> v;
        for (int i = 0; i < nSongs && v.size() < most; ++i)
            if (keep(songs[static_cast<std::size_t>(i)])) v.push_back(i);
        return v;
    };
    const char* const kUserTitles[] = {"Road Trip", "Sunday Morning", "Workout", "Dinner Party", "Late Night",
                                       "Rainy Day", "Focus", "Kitchen Dancing", "Old Favourites", "Chill",
                                       "Summer 2019", "Wedding", "Study", "Party Starters", "Acoustic",
                                       "Sleep", "Guitar Heroes", "Car Singalong", "Caf\xC3\xA9 Jazz", "Mix Tape"};
    for (const char* t : kUserTitles) AddPlaylist(out, t, false, user + t + ".wpl", randomSongs(15 + r.Below(235)));
    AddPlaylist(out, "Sync List 1", false, sync + "Sync List 1.wpl", randomSongs(40));
    auto rated = [](int lo) { return [lo](const Song& s) { return s.nRating >= lo; }; };
    AddPlaylist(out, "Favorites -- 4 and 5 star rated", true, sync + "Favorites -- 4 and 5 star rated.wpl", where(rated(63), 500));
    AddPlaylist(out, "Favorites -- Have not heard recently", true, sync + "Favorites -- Have not heard recently.wpl", where(rated(87), 300));
    AddPlaylist(out, "Sync: Fresh tracks", true, sync + "Fresh tracks.wpl", where([&](const Song& s) { return s.nAddedDay > today - 30; }, 400));
    AddPlaylist(out, "Sync: Music to shuffle", true, sync + "Music to shuffle.wpl", randomSongs(100));
    AddPlaylist(out, "Music played the most", true, sample + "Music played the most.wpl", randomSongs(120));
    AddPlaylist(out, "Music I dislike", true, sample + "Music I dislike.wpl", where(rated(1), 0));
    AddPlaylist(out, "Recently added", true, user + "Recently added.wpl", where([&](const Song& s) { return s.nAddedDay > today - 30; }, 1000));
    AddPlaylist(out, "Five star songs", true, user + "Five star songs.wpl", where(rated(87), 1000));
    AddPlaylist(out, "Never rated", true, user + "Never rated.wpl", where([](const Song& s) { return s.nRating == 0; }, 1000));
    return out;
}

}  // namespace swirlo::demolib
