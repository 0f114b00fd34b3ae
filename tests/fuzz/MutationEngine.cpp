#include "MutationEngine.h"

namespace {

// Tokens of the definition files (line ends, keys, sections, comments, quotes,
// continuations), of the answers (markup, entities, declarations) and of double-byte text.
const char* const kTokens[] = {
    "\r", "\n", "\r\n", "=", "[", "]", ";", "\"", "'", "&", "<", ">", " ", "\t", "\n\t", "\n ",
    "[DomainSwitch]\r\n", "[General]\n", "[OS]\n", "[CPU]\n", "[HDD]\n", "[IE]\n", "[SystemNames]\n",
    "[UpgradeMigrationControl]\n", "[Money]\n", "tax=", "PreUpgradeMsg", ",", ".", ".0", ",0", "SP",
    "&CURL;", "&amp;", "&#x41;", "&#0;", "&undefined;", "<![CDATA[", "]]>", "<!--", "-->", "<?xml",
    "?>", "<!DOCTYPE a>", "encoding=\"Shift_JIS\"", "encoding=\"UTF-8\"", "encoding=\"x\"", "/>", "</",
    "<BaseData>", "<SecuritySerial SerialID=\"", "<SecurityAgreement SecurityID=\"", "\xEF\xBB\xBF",
};

const unsigned char kBytes[] = {'\r', '\n', '\0', '=', '[', ']', ';', '"', '\'', '&', '<', '>',
                                ' ', '\t', ',', '.', 0x5C, 0x5D, 0x7F, 0x80, 0xA0, 0xFD, 0xFF};

unsigned char LeadByte(CSplitMix64& rng)
{
    return rng.OneIn(2) ? (unsigned char)(0x81 + rng.Below(0x9F - 0x81 + 1))
                        : (unsigned char)(0xE0 + rng.Below(0xFC - 0xE0 + 1));
}

unsigned char TrailByte(CSplitMix64& rng)
{
    static const unsigned char kTrails[] = {0x5C, 0x5D, 0x40, 0x7E, 0x80, 0xFC, 0x3D, 0x0A, 0x00};
    return rng.OneIn(2) ? kTrails[rng.Below(sizeof kTrails)] : (unsigned char)(0x40 + rng.Below(0xFC - 0x40 + 1));
}

size_t Position(const std::string& data, CSplitMix64& rng)
{
    return rng.Below(uint32_t(data.size() + 1));
}

// A span length, mostly short.
size_t SpanLength(CSplitMix64& rng, size_t limit)
{
    if (limit == 0)
        return 0;
    const size_t length = rng.OneIn(4) ? 1 + rng.Below(uint32_t(limit)) : 1 + rng.Below(16);
    return length < limit ? length : limit;
}

}  // namespace

CMutationEngine::CMutationEngine(std::vector<std::string> seeds, uint64_t runSeed, size_t maxSize)
    : m_seeds(std::move(seeds)), m_runSeed(runSeed), m_maxSize(maxSize)
{
}

const std::string& CMutationEngine::AnySeed(CSplitMix64& rng) const
{
    return m_seeds[rng.Below(uint32_t(m_seeds.size()))];
}

std::string CMutationEngine::Make(uint32_t iteration) const
{
    CSplitMix64 rng(m_runSeed ^ (uint64_t(iteration) * 0xD1B54A32D192ED03ull));
    std::string data = AnySeed(rng);
    // Now and then a seed as it stands: its own road must stay sound too.
    if (rng.OneIn(32))
        return data.substr(0, m_maxSize);
    const uint32_t rounds = 1 + rng.Below(rng.OneIn(4) ? 32 : 6);
    for (uint32_t i = 0; i < rounds; ++i) {
        MutateOnce(data, rng);
        if (data.size() > m_maxSize)
            data.resize(m_maxSize);
    }
    return data;
}

void CMutationEngine::MutateOnce(std::string& data, CSplitMix64& rng) const
{
    switch (rng.Below(12)) {
    case 0:  // flip a bit
        if (!data.empty())
            data[rng.Below(uint32_t(data.size()))] ^= char(1u << rng.Below(8));
        break;
    case 1:  // overwrite with a meaningful byte
        if (!data.empty())
            data[rng.Below(uint32_t(data.size()))] = char(kBytes[rng.Below(sizeof kBytes)]);
        break;
    case 2:  // insert a meaningful byte
        data.insert(Position(data, rng), 1, char(kBytes[rng.Below(sizeof kBytes)]));
        break;
    case 3:  // insert a token
        data.insert(Position(data, rng), kTokens[rng.Below(sizeof kTokens / sizeof kTokens[0])]);
        break;
    case 4: {  // delete a span
        const size_t at = rng.Below(uint32_t(data.size()));
        data.erase(at, SpanLength(rng, data.size() - at));
        break;
    }
    case 5: {  // duplicate a span, in place or elsewhere
        if (data.empty())
            break;
        const size_t at = rng.Below(uint32_t(data.size()));
        const std::string span = data.substr(at, SpanLength(rng, data.size() - at));
        const uint32_t copies = rng.OneIn(8) ? 1 + rng.Below(64) : 1;
        std::string repeated;
        for (uint32_t i = 0; i < copies; ++i)
            repeated += span;
        data.insert(rng.OneIn(2) ? at : Position(data, rng), repeated);
        break;
    }
    case 6:  // truncate
        data.resize(Position(data, rng));
        break;
    case 7: {  // splice a span of another seed in, replacing or inserting
        const std::string& other = AnySeed(rng);
        if (other.empty())
            break;
        const size_t from = rng.Below(uint32_t(other.size()));
        const std::string span = other.substr(from, SpanLength(rng, other.size() - from));
        const size_t at = Position(data, rng);
        if (rng.OneIn(2))
            data.replace(at, span.size(), span);
        else
            data.insert(at, span);
        break;
    }
    case 8: {  // a double-byte character, often with a trail byte that looks like ASCII
        const size_t at = Position(data, rng);
        const char pair[] = {char(LeadByte(rng)), char(TrailByte(rng))};
        data.insert(at, pair, 2);
        break;
    }
    case 9:  // a lone lead byte at the very end
        data.push_back(char(LeadByte(rng)));
        break;
    case 10: {  // a very long line
        static const char kFill[] = {'x', '=', ' ', '[', '"', '\x81', '<'};
        const size_t length = 200 + rng.Below(rng.OneIn(8) ? 9000 : 1000);
        std::string line(length, kFill[rng.Below(sizeof kFill)]);
        if (line[0] == '\x81')
            for (size_t i = 1; i < line.size(); i += 2)
                line[i] = '\x5C';
        data.insert(Position(data, rng), line);
        break;
    }
    default:  // drop the line ends of a stretch, or turn LF into CR LF
        for (size_t i = Position(data, rng), n = 0; i < data.size() && n < 64; ++i, ++n) {
            if (data[i] == '\n') {
                if (rng.OneIn(2))
                    data.erase(i, 1);
                else
                    data.insert(i++, 1, '\r');
            }
        }
        break;
    }
}
