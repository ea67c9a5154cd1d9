#include "selection/folderwalk.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/systemerror.h"
#include "base/utf8.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace pilotrame {

namespace {

// Pattern tokens that no character of a name can take: code points stop at 0x10FFFF, and the
// bytes of malformed UTF-8 are mapped just above that.
constexpr char32_t kAnyRun = 0xFFFFFFFF; // "*"
constexpr char32_t kAnyOne = 0xFFFFFFFE; // "?"
constexpr char32_t kStrayByteBase = 0x110000;

// Reads the character at text[i] and moves i past it. A byte that does not start a well-formed
// sequence stands for itself, so that such a name still matches and sorts the same every time.
char32_t NextCharacter(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const char32_t cp = NextCodePoint(text, i);
    return cp == kInvalidCodePoint ? kStrayByteBase + lead : cp;
}

// The upper case of the letters a Windows user types in a name: ASCII, Latin-1 and the
// Latin Extended-A pairs that include the Windows-1252 letters Œ, Š, Ž and Ÿ. Upper case, as the
// NTFS order of a directory listing uses it.
char32_t FoldCase(char32_t c) {
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? c - 0x20 : c;
    if (c < 0x100) {
        if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
            return c - 0x20;
        return c == 0xFF ? char32_t{0x178} : c;
    }
    if (c > 0x17F || c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149)
        return c; // dotted and dotless i have no pair here; ĸ and ŉ have no capital
    if ((c < 0x138 || (c > 0x149 && c < 0x178)) && (c & 1u) != 0)
        return c - 1;
    if (((c > 0x138 && c < 0x149) || c > 0x178) && (c & 1u) == 0)
        return c - 1;
    return c;
}

char32_t UpperAscii(unsigned char byte) {
    return byte >= 'a' && byte <= 'z' ? char32_t{byte} - 0x20 : char32_t{byte};
}

char32_t NextFolded(std::string_view text, std::size_t& i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
        ++i;
        return UpperAscii(byte);
    }
    return FoldCase(NextCharacter(text, i));
}

// NameLess for names a and b that are the same up to k, and part there or one of them ends.
bool NameLessFrom(const std::string& a, const std::string& b, std::size_t k) {
    const std::size_t common = std::min(a.size(), b.size());
    if (k == common) {
        const std::string& longer = a.size() < b.size() ? b : a;
        if (k == longer.size())
            return false;
        // The shorter name ends on a whole character unless the longer goes on inside it.
        if (!IsContinuationByte(longer[k]))
            return a.size() < b.size();
    }
    // Otherwise compare characters from the start of the one where they part (a string's
    // character at its size is the terminating zero, never a continuation byte).
    while (k > 0 && (IsContinuationByte(a[k]) || IsContinuationByte(b[k])))
        --k;
    std::size_t i = k;
    std::size_t j = k;
    while (i < a.size() && j < b.size()) {
        const char32_t foldedA = NextFolded(a, i);
        const char32_t foldedB = NextFolded(b, j);
        if (foldedA != foldedB)
            return foldedA < foldedB;
    }
    if (i < a.size() || j < b.size())
        return j < b.size();
    return a < b;
}

// Order of names: without regard to case first, then byte by byte so that names differing only
// in case still come in one fixed order. Names of one folder mostly share a start and differ in
// one ASCII character: that is decided here, small enough to go inline in the sort, without
// decoding the rest.
inline bool NameLess(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    const std::size_t k = static_cast<std::size_t>(
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(common), b.begin()).first -
        a.begin());
    if (k < common) {
        const auto x = static_cast<unsigned char>(a[k]);
        const auto y = static_cast<unsigned char>(b[k]);
        if (x < 0x80 && y < 0x80 && UpperAscii(x) != UpperAscii(y))
            return UpperAscii(x) < UpperAscii(y);
    }
    return NameLessFrom(a, b, k);
}

// A pattern made ready for many names: folded, wildcards as tokens.
class Pattern {
public:
    explicit Pattern(std::string_view text) {
        for (std::size_t i = 0; i < text.size();) {
            if (text[i] == '*') {
                ++i;
                // Runs of "*" match what one does; keeping one bounds the backtracking.
                if (m_tokens.empty() || m_tokens.back() != kAnyRun)
                    m_tokens.push_back(kAnyRun);
            } else if (text[i] == '?') {
                ++i;
                m_tokens.push_back(kAnyOne);
            } else {
                m_tokens.push_back(NextFolded(text, i));
            }
        }
        // A final "." followed by "*" only also matches where the name ends, as the Windows
        // listing takes it: "*.*" lists names without a dot, "plan.*" finds "plan".
        std::size_t end = m_tokens.size();
        while (end > 0 && m_tokens[end - 1] == kAnyRun)
            --end;
        if (end > 0 && end < m_tokens.size() && m_tokens[end - 1] == U'.')
            m_beforeFinalDot = end - 1;
        // A final "." asks for names without an extension, as "dir *." does on Windows: it also
        // matches where the name ends, and a "*" just before it cannot then take the name's
        // last dot, which would begin an extension.
        m_finalDot = !m_tokens.empty() && m_tokens.back() == U'.';
        // The usual pattern: a "*" then plain ASCII characters ("*.dwg"), none of the final-dot
        // rules at play.
        m_asciiTail = m_tokens.size() > 1 && m_tokens.front() == kAnyRun &&
                      m_beforeFinalDot == kNoDot && !m_finalDot &&
                      std::all_of(m_tokens.begin() + 1, m_tokens.end(),
                                  [](char32_t token) { return token < 0x80; });
    }

    bool matches(std::string_view name) {
        // "*" then ASCII characters: the name's last bytes, when ASCII, are its last characters,
        // and decide alone. A name whose end is not ASCII goes the long way.
        if (m_asciiTail) {
            const std::size_t tail = m_tokens.size() - 1;
            if (name.size() < tail)
                return false;
            const char* const end = name.data() + name.size() - tail;
            bool same = true;
            std::size_t k = 0;
            for (; k < tail; ++k) {
                const auto byte = static_cast<unsigned char>(end[k]);
                if (byte >= 0x80)
                    break;
                same = same && UpperAscii(byte) == m_tokens[k + 1];
            }
            if (k == tail)
                return same;
        }
        return matchesFolded(name);
    }

private:
    static constexpr std::size_t kNoDot = static_cast<std::size_t>(-1);

    // The name folded character by character against the tokens, for any pattern and name.
    bool matchesFolded(std::string_view name) {
        m_name.resize(name.size());
        std::size_t length = 0;
        for (std::size_t i = 0; i < name.size();)
            m_name[length++] = NextFolded(name, i);
        m_name.resize(length);
        if (matchesTokens(m_tokens.size(), m_name.size()))
            return true;
        if (m_beforeFinalDot != kNoDot && matchesTokens(m_beforeFinalDot, m_name.size()))
            return true;
        return m_finalDot && matchesWithoutExtension();
    }

    static bool sameCharacter(char32_t token, char32_t character) {
        return token == kAnyOne || token == character;
    }

    // The tokens before the final "." against the whole name, the final "." taken as the end
    // of the name. A "*" just before that dot matches what follows the name's last dot at most.
    bool matchesWithoutExtension() const {
        const std::size_t count = m_tokens.size() - 1;
        if (count == 0 || m_tokens[count - 1] != kAnyRun)
            return matchesTokens(count, m_name.size());
        // The "*" takes a tail of the name without a dot: what comes before it must match a
        // start of the name that reaches past the last dot.
        const std::size_t lastDot = m_name.rfind(U'.');
        const std::size_t shortest = lastDot == std::u32string::npos ? 0 : lastDot + 1;
        for (std::size_t length = m_name.size() + 1; length-- > shortest;) {
            if (matchesTokens(count - 1, length))
                return true;
        }
        return false;
    }

    // The first count tokens against the first nameLength characters of the name.
    bool matchesTokens(std::size_t count, std::size_t nameLength) const {
        // What follows the last "*" can only match the end of the name: check it there first,
        // which settles "*.dwg" without any retrying.
        std::size_t tail = count;
        while (tail > 0 && m_tokens[tail - 1] != kAnyRun)
            --tail;
        if (tail > 0) {
            const std::size_t tailLength = count - tail;
            if (tailLength > nameLength)
                return false;
            nameLength -= tailLength;
            for (std::size_t k = 0; k < tailLength; ++k) {
                if (!sameCharacter(m_tokens[tail + k], m_name[nameLength + k]))
                    return false;
            }
            count = tail;
        }
        // A "*" first takes nothing and then, on each mismatch, one character more: only the
        // latest "*" needs retrying.
        std::size_t p = 0;
        std::size_t n = 0;
        std::size_t runToken = kNoDot;
        std::size_t runStart = 0;
        while (n < nameLength) {
            if (p < count && m_tokens[p] == kAnyRun) {
                runToken = p++;
                runStart = n;
            } else if (p < count && sameCharacter(m_tokens[p], m_name[n])) {
                ++p;
                ++n;
            } else if (runToken != kNoDot) {
                p = runToken + 1;
                n = ++runStart;
            } else {
                return false;
            }
        }
        while (p < count && m_tokens[p] == kAnyRun)
            ++p;
        return p == count;
    }

    std::u32string m_tokens;
    std::u32string m_name; // reused from name to name
    std::size_t m_beforeFinalDot = kNoDot;
    bool m_finalDot = false;
    bool m_asciiTail = false;
};

Error Unreadable(const std::string& folder, ErrorCode code) {
    return FileError(code, folder);
}

#ifdef _WIN32

// The search text for every entry of folder. A deep folder goes through the "\\?\" form, which
// lifts the 260-character limit of the classic calls.
std::wstring SearchText(const std::string& folder) {
    std::wstring path = ToFsPath(WithTrailingSeparator(folder, '\\')).native();
    path += L'*';
    if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\"))
        return path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

// The listing gives each entry's attributes with its name: no call per entry.
Status ReadFolder(const std::string& folder, Pattern* filter, bool wantFolders,
                  FolderEntries& entries) {
    const std::wstring search = SearchText(folder);
    WIN32_FIND_DATAW data;
    HANDLE handle = FindFirstFileExW(search.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // An empty drive root has no "." entry, so nothing at all is found there.
        if (error == ERROR_FILE_NOT_FOUND) {
            const DWORD attributes = GetFileAttributesW(ToFsPath(folder).c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES &&
                (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                return Success();
        }
        return Unreadable(folder, FolderCodeFromWindowsError(error));
    }
    do {
        if ((data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0)
            continue;
        const wchar_t* name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (!wantFolders ||
                (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))))
                continue;
            entries.folders.push_back(WideToUtf8(name));
        } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0) {
            std::string utf8 = WideToUtf8(name);
            if (filter == nullptr || filter->matches(utf8))
                entries.files.push_back(std::move(utf8));
        }
    } while (FindNextFileW(handle, &data));
    const DWORD error = GetLastError();
    FindClose(handle);
    if (error != ERROR_NO_MORE_FILES)
        return Unreadable(folder, FolderCodeFromWindowsError(error));
    return Success();
}

#else

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

// The listing gives each entry's type with its name; only links and file systems that do not
// tell the type cost a call of their own. Read directly rather than through directory_iterator,
// which builds and parses a full path for every entry.
Status ReadFolder(const std::string& folder, Pattern* filter, bool wantFolders,
                  FolderEntries& entries) {
    const std::unique_ptr<DIR, FolderCloser> listing(opendir(folder.c_str()));
    if (!listing)
        return Unreadable(folder, FolderCodeFromErrno(errno, folder));
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(listing.get());
        if (entry == nullptr) {
            if (errno != 0)
                return Unreadable(folder, FolderCodeFromErrno(errno, folder));
            return Success();
        }
        const std::string_view name = entry->d_name;
        if (name.empty() || name.front() == '.')
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // A link counts as what it leads to; a broken one as nothing.
            struct stat target;
            if (fstatat(dirfd(listing.get()), entry->d_name, &target, 0) != 0)
                continue;
            isFolder = S_ISDIR(target.st_mode);
            isFile = S_ISREG(target.st_mode);
        }
        if (isFolder) {
            if (wantFolders)
                entries.folders.emplace_back(name);
        } else if (isFile && (filter == nullptr || filter->matches(name))) {
            entries.files.emplace_back(name);
        }
    }
}

#endif

Result<FolderEntries> ReadSorted(const std::string& folder, Pattern* filter, bool wantFolders) {
    FolderEntries entries;
    if (Status read = ReadFolder(folder, filter, wantFolders, entries); !read)
        return read.error();
    const auto less = [](const std::string& a, const std::string& b) { return NameLess(a, b); };
    std::sort(entries.folders.begin(), entries.folders.end(), less);
    std::sort(entries.files.begin(), entries.files.end(), less);
    return entries;
}

// One walk: each folder is read once, for its matching files and, when the mode goes further
// down, for its sub-folders.
class Walker {
public:
    Walker(const WalkRequest& request, const std::function<bool()>& keepGoing, WalkResult& result)
        : m_pattern(request.pattern), m_keepGoing(keepGoing), m_result(result) {}

    // Reads folder, or returns nothing when the walk stops here or the folder cannot be read.
    std::optional<FolderEntries> read(const std::string& folder, bool wantFolders) {
        if (m_keepGoing && !m_keepGoing()) {
            m_result.cancelled = true;
            return std::nullopt;
        }
        Result<FolderEntries> entries = ReadSorted(folder, &m_pattern, wantFolders);
        if (!entries) {
            m_result.unreadableFolders.push_back(folder);
            return std::nullopt;
        }
        return std::move(entries).value();
    }

    void list(const std::string& folder, FolderEntries& entries) {
        if (!entries.files.empty())
            m_result.list.push_back(ListedFolder{folder, std::move(entries.files)});
    }

    // One pass of sub-folder collection: the folder count goes on from where it stands.
    void collect(std::size_t found) {
        m_result.collectedSubFolders = true;
        if (found == 0 && m_result.subFolderCount == 0)
            m_result.noSubFolder = true;
        m_result.subFolderCount += static_cast<int>(found);
    }

    bool stopped() const { return m_result.cancelled; }

private:
    Pattern m_pattern;
    const std::function<bool()>& m_keepGoing;
    WalkResult& m_result;
};

std::string SubFolder(const std::string& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.size() + name.size() + 1);
    path += folder;
    path += name;
    path += kNativeSeparator;
    return path;
}

} // namespace

Result<FolderEntries> ListFolder(const std::string& folder) {
    return ReadSorted(folder, nullptr, true);
}

WalkResult WalkFolder(const WalkRequest& request, const std::function<bool()>& keepGoing) {
    WalkResult result;
    const std::string chosen = WithTrailingSeparator(request.folder);
    result.walkFolder = chosen;
    if (request.mode == WalkMode::None)
        return result;

    Walker walker(request, keepGoing, result);
    const bool collects = request.mode != WalkMode::CurrentFolder;
    std::optional<FolderEntries> top = walker.read(chosen, collects);
    if (!top) {
        // A chosen folder that cannot be read has no sub-folder to show: the count says 0 beside
        // the report of the folder, not the word that there is none.
        result.collectedSubFolders = collects && !result.cancelled;
        return result;
    }
    if (request.mode != WalkMode::FirstSubFolders)
        walker.list(chosen, *top);
    if (!collects)
        return result;

    walker.collect(top->folders.size());
    const bool twoLevels = request.mode == WalkMode::CurrentFirstSecond;
    // The sub-folders of each first-level folder, kept from its one reading for the second level;
    // an unreadable folder keeps none and gets no second-level pass.
    std::vector<std::optional<std::vector<std::string>>> below(top->folders.size());
    for (std::size_t i = 0; i < top->folders.size(); ++i) {
        const std::string folder = SubFolder(chosen, top->folders[i]);
        std::optional<FolderEntries> entries = walker.read(folder, twoLevels);
        if (walker.stopped())
            return result;
        if (!entries)
            continue;
        walker.list(folder, *entries);
        below[i] = std::move(entries->folders);
    }
    if (!twoLevels)
        return result;

    // The second level counts afresh: the count shows the second-level folders only.
    result.subFolderCount = 0;
    for (std::size_t i = 0; i < top->folders.size(); ++i) {
        const std::string parent = SubFolder(chosen, top->folders[i]);
        result.walkFolder = parent;
        if (!below[i])
            continue;
        walker.collect(below[i]->size());
        for (const std::string& name : *below[i]) {
            const std::string folder = SubFolder(parent, name);
            std::optional<FolderEntries> entries = walker.read(folder, false);
            if (walker.stopped())
                return result;
            if (entries)
                walker.list(folder, *entries);
        }
    }
    return result;
}

} // namespace pilotrame
