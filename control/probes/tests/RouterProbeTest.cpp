#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeTools.h"
#include "RouterProbe.h"

namespace {

using Lines = std::vector<std::string>;

const char kArpEntry[] = "  Internet Address      Physical Address      Type\r\n  192.0.2.1  00-11-22-33-44-55  dynamic\r\n";

CSimpleArray<CString> Gateways(std::initializer_list<const char*> texts)
{
    CSimpleArray<CString> gateways;
    for (const char* text : texts)
        gateways.Add(CString(text));
    return gateways;
}

Lines AskedFor(const char* address)
{
    const std::string a = address;
    return {"arp -d " + a, "ping -n 1 " + a, "arp -a " + a};
}

Lines Joined(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

using RouterProbe = FakeToolsTest;

TEST_F(RouterProbe, EveryGatewayIsAskedInOrderAndAnyAnswerMeansARouter)
{
    struct Case {
        const char* name;
        CSimpleArray<CString> gateways;
        const char* arpOutput;
        bool noRouter;
        Lines calls;
    } cases[] = {
        {"one gateway answers", Gateways({"192.0.2.1"}), kArpEntry, false, AskedFor("192.0.2.1")},
        {"one gateway silent", Gateways({"192.0.2.1"}), "No ARP Entries Found.\r\n", true, AskedFor("192.0.2.1")},
        {"all gateways asked after an answer", Gateways({"192.0.2.1", "198.51.100.1"}), kArpEntry, false,
         Joined({AskedFor("192.0.2.1"), AskedFor("198.51.100.1")})},
        {"no adapters", Gateways({}), kArpEntry, true, {}},
        // An adapter without a gateway must not become "arp -a " listing every entry.
        {"adapter without gateway skipped", Gateways({"", "192.0.2.1", ""}), kArpEntry, false,
         AskedFor("192.0.2.1")},
        {"only adapters without gateway", Gateways({"", ""}), kArpEntry, true, {}},
    };
    for (Case& c : cases) {
        ClearCalls();
        SetOutput("arp", c.arpOutput);
        EXPECT_EQ(NoRouterAmong(c.gateways), c.noRouter) << c.name;
        EXPECT_EQ(Calls(), c.calls) << c.name;
    }
}

TEST_F(RouterProbe, NoRouterFoundAsksTheSystemsOwnGateways)
{
    // The adapters are this machine's; every tool that would reach them is a fake.
    SetOutput("arp", kArpEntry);
    const CSimpleArray<CString> gateways = ReadGatewayTexts();
    Lines expected;
    for (int i = 0; i < gateways.GetSize(); ++i) {
        EXPECT_LE(gateways[i].GetLength(), 15);
        if (!gateways[i].IsEmpty())
            expected = Joined({expected, AskedFor(gateways[i])});
    }
    EXPECT_EQ(NoRouterFound(), expected.empty());
    EXPECT_EQ(Calls(), expected);
}

}  // namespace
