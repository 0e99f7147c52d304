#include "app/SortKeys.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "base/SystemError.h"

namespace {

// Fills Key with the sort key of Text, without the key's closing 0 byte.
void MakeSortKey(LCID Locale, DWORD Flags, std::string_view Text, TSortKey& Key)
{
    if (Text.size() > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("text too long for a sort key");
    // LCMapStringA refuses a source of length 0, but takes an empty C string.
    const char* source = Text.empty() ? "" : Text.data();
    const int sourceLength = Text.empty() ? -1 : static_cast<int>(Text.size());

    // Keys run to about two or three bytes a character: one call is the rule,
    // a second one only when the guess was short.
    std::size_t guess = Text.size() * 3 + 16;
    if (guess < Key.capacity())
        guess = Key.capacity();
    if (guess > static_cast<std::size_t>(INT_MAX))
        guess = INT_MAX;
    Key.resize(guess);
    int length = LCMapStringA(Locale, Flags, source, sourceLength, Key.data(), static_cast<int>(guess));
    if (length == 0) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            ThrowLastError("Cannot make a sort key", "LCMapStringA");
        length = LCMapStringA(Locale, Flags, source, sourceLength, nullptr, 0);
        if (length == 0)
            ThrowLastError("Cannot make a sort key", "LCMapStringA");
        Key.resize(static_cast<std::size_t>(length));
        length = LCMapStringA(Locale, Flags, source, sourceLength, Key.data(), length);
        if (length == 0)
            ThrowLastError("Cannot make a sort key", "LCMapStringA");
    }
    Key.resize(static_cast<std::size_t>(length));
    if (!Key.empty() && Key.back() == '\0')
        Key.pop_back();
}

// The separator between the levels of a key, and the minimal weight of a level.
constexpr uint8_t LevelEnd = 1;
constexpr uint8_t MinimalWeight = 2;
// The characters whose keys are assembled.
constexpr unsigned FirstPrintable = 0x20, LastPrintable = 0x7E;

// A key split into its five parts: primary, diacritic, case and extra
// weights, each ended by LevelEnd, and the special weights after them.
struct TKeyParts {
    std::string_view Level[4];
    std::string_view Special;
};

bool SplitKey(std::string_view Key, TKeyParts& Parts)
{
    for (std::string_view& level : Parts.Level) {
        const std::size_t end = Key.find(static_cast<char>(LevelEnd));
        if (end == std::string_view::npos)
            return false;
        level = Key.substr(0, end);
        Key.remove_prefix(end + 1);
    }
    Parts.Special = Key;
    return true;
}

} // namespace

TSortKeyMaker::TSortKeyMaker(LCID Locale, DWORD Flags) : FLocale(Locale), FFlags(Flags)
{
    LearnCharacters();
    FAssembles = RuleHolds();
}

void TSortKeyMaker::MapKey(std::string_view Text, TSortKey& Key) const
{
    MakeSortKey(FLocale, LCMAP_SORTKEY | FFlags, Text, Key);
}

// What each printable character contributes, read from its own key. A
// character whose key has another shape is not covered.
void TSortKeyMaker::LearnCharacters()
{
    TSortKey key;
    for (unsigned c = FirstPrintable; c <= LastPrintable; ++c) {
        const char text = static_cast<char>(c);
        MapKey(std::string_view(&text, 1), key);
        TKeyParts parts;
        if (!SplitKey(key, parts))
            continue;
        TCharWeights& weights = FChars[c];
        const std::string_view primary = parts.Level[0], diacritic = parts.Level[1], letterCase = parts.Level[2],
                               extra = parts.Level[3], special = parts.Special;
        if (primary.size() == 2 && diacritic.empty() && letterCase.size() <= 1 && extra.empty() && special.empty()) {
            weights.Kind = TCharWeights::Weighted;
            weights.Primary[0] = static_cast<uint8_t>(primary[0]);
            weights.Primary[1] = static_cast<uint8_t>(primary[1]);
            if (!letterCase.empty()) {
                weights.Case = static_cast<uint8_t>(letterCase[0]);
                if (weights.Case == MinimalWeight) // a minimal weight is never kept at the end
                    weights.Kind = TCharWeights::Uncovered;
            }
        } else if (primary.empty() && diacritic.empty() && letterCase.empty() && extra.empty() &&
                   special.size() == 4 && static_cast<uint8_t>(special[0]) == 0xFF &&
                   static_cast<uint8_t>(special[1]) == 0xFF) {
            weights.Kind = TCharWeights::Special;
            weights.Weight[0] = static_cast<uint8_t>(special[2]);
            weights.Weight[1] = static_cast<uint8_t>(special[3]);
        }
    }
}

// The rule against LCMapStringA: every pair of covered printable characters
// (letters that the locale joins into one unit show here), and longer texts
// that put special characters far from the start, mix letter cases and end
// in minimal weights.
bool TSortKeyMaker::RuleHolds() const
{
    std::string covered;
    for (unsigned c = FirstPrintable; c <= LastPrintable; ++c)
        if (FChars[c].Kind != TCharWeights::Uncovered)
            covered += static_cast<char>(c);
    if (covered.empty())
        return false;

    TSortKey assembled, mapped;
    auto agrees = [&](std::string_view Text) {
        if (!Assemble(Text, assembled))
            return false;
        MapKey(Text, mapped);
        return assembled == mapped;
    };
    std::string text(2, ' ');
    for (char first : covered) {
        text[0] = first;
        for (char second : covered) {
            text[1] = second;
            if (!agrees(text))
                return false;
        }
    }
    std::string letters;
    for (char c : covered)
        if (FChars[static_cast<unsigned char>(c)].Kind == TCharWeights::Weighted)
            letters += c;
    if (letters.empty())
        return true;
    for (char c : covered) {
        for (std::size_t before : {std::size_t(3), std::size_t(254), std::size_t(255), std::size_t(256),
                                   std::size_t(257), std::size_t(511), std::size_t(512), std::size_t(4000)}) {
            text.assign(before, letters[before % letters.size()]);
            text += c;
            text += letters[(before + 1) % letters.size()];
            text += c;
            if (!agrees(text))
                return false;
        }
    }
    // Longer texts of every covered character, in a fixed mix.
    uint32_t state = 20240607u;
    for (int probe = 0; probe < 64; ++probe) {
        text.clear();
        for (std::size_t n = 1 + probe * 7 % 300; n > 0; --n) {
            state = state * 1664525u + 1013904223u;
            text += covered[(state >> 16) % covered.size()];
        }
        if (!agrees(text))
            return false;
    }
    return true;
}

std::size_t TSortKeyMaker::AssembleInto(std::string_view Text, char* Room) const
{
    uint8_t* const start = reinterpret_cast<uint8_t*>(Room);
    uint8_t* out = start;
    for (char c : Text) {
        const auto b = static_cast<unsigned char>(c);
        // Lead bytes of a code page of two bytes a character lie above 0x80
        // too: a text holding one goes to LCMapStringA, even where the byte
        // after it is ASCII.
        if (b >= 128)
            return NotAssembled;
        const TCharWeights& w = FChars[b];
        if (w.Kind == TCharWeights::Weighted) {
            *out++ = w.Primary[0];
            *out++ = w.Primary[1];
        } else if (w.Kind != TCharWeights::Special) {
            return NotAssembled;
        }
    }
    *out++ = LevelEnd;
    *out++ = LevelEnd; // no diacritic weights: every one is minimal
    uint8_t* caseEnd = out;
    for (char c : Text) {
        const TCharWeights& w = FChars[static_cast<unsigned char>(c)];
        if (w.Kind == TCharWeights::Weighted) {
            *out++ = w.Case;
            if (w.Case != MinimalWeight)
                caseEnd = out;
        }
    }
    out = caseEnd;
    *out++ = LevelEnd;
    *out++ = LevelEnd; // no extra weights
    unsigned place = 0;
    for (char c : Text) {
        const TCharWeights& w = FChars[static_cast<unsigned char>(c)];
        if (w.Kind == TCharWeights::Weighted) {
            ++place;
        } else {
            const unsigned position = 0xFFFFu - place;
            *out++ = static_cast<uint8_t>(position >> 8);
            *out++ = static_cast<uint8_t>(position & 0xFF);
            *out++ = w.Weight[0];
            *out++ = w.Weight[1];
        }
    }
    return static_cast<std::size_t>(out - start);
}

bool TSortKeyMaker::Assemble(std::string_view Text, TSortKey& Key) const
{
    if (Text.size() > AssembledLimit)
        return false;
    Key.resize(AssembledRoom(Text));
    const std::size_t length = AssembleInto(Text, Key.data());
    if (length == NotAssembled)
        return false;
    Key.resize(length);
    return true;
}

void TSortKeyMaker::Make(std::string_view Text, TSortKey& Key) const
{
    if (FAssembles && Assemble(Text, Key))
        return;
    MapKey(Text, Key);
}

std::string_view TSortKeyMaker::Make(std::string_view Text, TTextBlocks& Into, TSortKey& Scratch) const
{
    if (FAssembles && Text.size() <= AssembledLimit) {
        char* room = Into.Allocate(AssembledRoom(Text));
        const std::size_t length = AssembleInto(Text, room);
        if (length != NotAssembled) {
            Into.Shrink(room, length);
            return std::string_view(room, length);
        }
        Into.Shrink(room, 0);
    }
    MapKey(Text, Scratch);
    return Into.Add(Scratch);
}

namespace {

// One key during KeyOrder: 32 of its bytes from the present depth on, big end
// first and zeros past the key's end, held next to its length and index.
constexpr std::size_t ChunkWords = 4;
constexpr std::size_t ChunkBytes = ChunkWords * 8;

struct TKeyChunk {
    uint64_t Words[ChunkWords];
    uint32_t Length;
    uint32_t Index;
};

void LoadChunk(TKeyChunk& Item, std::string_view Key, std::size_t Depth)
{
    unsigned char bytes[ChunkBytes] = {};
    if (Depth < Key.size())
        std::memcpy(bytes, Key.data() + Depth, std::min(ChunkBytes, Key.size() - Depth));
    for (std::size_t w = 0; w < ChunkWords; ++w) {
        uint64_t value = 0;
        for (std::size_t b = 0; b < 8; ++b)
            value = value << 8 | bytes[w * 8 + b];
        Item.Words[w] = value;
    }
}

bool SameChunk(const TKeyChunk& A, const TKeyChunk& B)
{
    return std::equal(A.Words, A.Words + ChunkWords, B.Words);
}

// Sorts the keys of Items: each range of items whose keys agree in their first
// Depth bytes is sorted by the next 32 bytes, and the runs of keys that agree
// in those as well are sorted the same way in turn. A range starts in the
// order of its indices, and keys that are equal keep it.
void SortChunks(std::vector<TKeyChunk>& Items, const std::vector<std::string_view>& Keys)
{
    struct TRange {
        std::size_t Begin, End, Depth;
    };
    std::vector<TRange> work{{0, Items.size(), 0}};
    while (!work.empty()) {
        const TRange range = work.back();
        work.pop_back();
        const auto first = Items.begin() + static_cast<std::ptrdiff_t>(range.Begin);
        const auto last = Items.begin() + static_cast<std::ptrdiff_t>(range.End);
        if (range.End - range.Begin < 2)
            continue;
        if (range.End - range.Begin <= 16) {
            // A few keys: compared whole.
            std::sort(first, last, [&Keys, &range](const TKeyChunk& A, const TKeyChunk& B) {
                const int order = Keys[A.Index].substr(range.Depth).compare(Keys[B.Index].substr(range.Depth));
                return order != 0 ? order < 0 : A.Index < B.Index;
            });
            continue;
        }
        for (auto item = first; item != last; ++item)
            LoadChunk(*item, Keys[item->Index], range.Depth);
        const std::size_t next = range.Depth + ChunkBytes;
        // Equal bytes: a key that ends within them is a prefix of the others and
        // comes first, the shorter first; keys that end alike are equal and keep
        // their index order; keys that go on are sorted further.
        auto rank = [next](const TKeyChunk& Item) { return Item.Length <= next ? Item.Length : UINT32_MAX; };
        std::sort(first, last, [&rank](const TKeyChunk& A, const TKeyChunk& B) {
            for (std::size_t w = 0; w < ChunkWords; ++w)
                if (A.Words[w] != B.Words[w])
                    return A.Words[w] < B.Words[w];
            const uint32_t a = rank(A), b = rank(B);
            if (a != b)
                return a < b;
            return A.Index < B.Index;
        });
        for (std::size_t run = range.Begin; run < range.End;) {
            std::size_t runEnd = run + 1;
            while (runEnd < range.End && SameChunk(Items[runEnd], Items[run]))
                ++runEnd;
            // Keys that go on stand at the end of their run.
            std::size_t goOn = runEnd;
            while (goOn > run && Items[goOn - 1].Length > next)
                --goOn;
            if (runEnd - goOn > 1)
                work.push_back({goOn, runEnd, next});
            run = runEnd;
        }
    }
}

} // namespace

std::vector<uint32_t> KeyOrder(const std::vector<std::string_view>& Keys)
{
    if (Keys.size() > UINT32_MAX)
        throw std::length_error("too many keys");
    std::vector<TKeyChunk> items(Keys.size());
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        if (Keys[i].size() >= UINT32_MAX)
            throw std::length_error("sort key too long");
        items[i] = TKeyChunk{{}, static_cast<uint32_t>(Keys[i].size()), static_cast<uint32_t>(i)};
    }
    SortChunks(items, Keys);
    std::vector<uint32_t> order(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].Index;
    return order;
}
