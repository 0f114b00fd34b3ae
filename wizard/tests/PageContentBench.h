#pragma once
// Pages opened on the page bench with definition texts of the test's own, so each test
// reads the document a page writes as plain HTML. The built-in text is loaded afresh
// before and after every test, and the domain URL put back.
#include "PageBench.h"

#include <string>

#include "CTextDef.h"
#include "PageFactory.h"

class PageContentBench : public PageBench {
protected:
    void SetUp() override
    {
        LoadBuiltInText();
        m_formerDomain = CTextDef::GetDomainUrl().GetString();
        PageBench::SetUp();
    }

    void TearDown() override
    {
        PageBench::TearDown();
        LoadBuiltInText();
        CTextDef::SetDomainUrl(m_formerDomain.c_str());
    }

    static void LoadBuiltInText()
    {
        CTextDef::RemoveAll();
        ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
    }

    // Creates the page's window on the frame and lets its browser write its first document.
    template <typename Page>
    Page* Open(Page* page)
    {
        Page* opened = static_cast<Page*>(CreatePageWindow(page, frame, &context));
        EXPECT_NE(opened, nullptr);
        EXPECT_TRUE(Settle());
        return opened;
    }

    // The last document the page wrote, without the charset line every document starts with;
    // "<none>" when it wrote none.
    static std::string Html(const CWBDialog* page)
    {
        const std::vector<std::string> documents = WrittenDocuments(page);
        if (documents.empty())
            return "<none>";
        const std::string& last = documents.back();
        const std::string meta = kShiftJisMetaLine;
        if (last.compare(0, meta.size(), meta) != 0)
            return "<no charset line>" + last;
        return last.substr(meta.size());
    }

private:
    std::string m_formerDomain;
};
