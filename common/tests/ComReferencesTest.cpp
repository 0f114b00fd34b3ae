#include <gtest/gtest.h>

#include <ole2.h>

#include "CComPtr.h"
#include "CSimpleHttpStrStream.h"
#include "CWebBrowserEventSink.h"

namespace {

// The objects that live inside their owner still follow COM: each answer of QueryInterface
// is a reference that the caller's Release gives back, so a caller that keeps the count
// (a connection point, a stream reader) never releases more than it got.
TEST(OwnedComObjects, EachAnswerIsAReferenceTheCallerGivesBack)
{
    CWebBrowserEventSink sink(nullptr);
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &DIID_KavoWebBrowserEvents2}) {
        CComPtr<IUnknown> answer;
        ASSERT_EQ(sink.QueryInterface(*iid, reinterpret_cast<void**>(&answer)), S_OK);
        EXPECT_EQ(sink.OutstandingReferences(), 1);
        answer.Release();
        EXPECT_EQ(sink.OutstandingReferences(), 0);
    }
    void* none = &sink;
    EXPECT_EQ(sink.QueryInterface(IID_IOleObject, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    CSimpleHttpStrStream stream;
    CComPtr<ISequentialStream> writer;
    ASSERT_EQ(stream.QueryInterface(IID_ISequentialStream, reinterpret_cast<void**>(&writer)), S_OK);
    EXPECT_EQ(writer->Write("abc", 3, nullptr), S_OK);
    writer.Release();
    EXPECT_EQ(stream.OutstandingReferences(), 0);
    EXPECT_EQ(stream.GetBytes(), "abc");
}

}  // namespace
