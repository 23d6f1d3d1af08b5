// engine/page_writer.h: PageWriter, which writes what the walk reports as the page body.
#pragma once
#include <string>

#include "engine/walk_writer.h"
#include "platform/text_file.h"

namespace favpage {

// For each folder: "Sub-Folders in" and the list of links to the sub-folders' anchors (when it
// has any), the "Shortcuts in" list of its links (or the "has no shortcuts" line when it listed
// no file at all), and before each sub-folder's part that folder's anchor.
class PageWriter : public WalkWriter {
public:
    explicit PageWriter(TextFile& out) : m_out(out) {}

    void AppendLink(std::string& out, const FoundLink& link) override { AppendPageLink(out, link); }
    bool NeedsFileTimes() const override { return false; }
    void BeginFolder(const FoundFolder& folder) override;
    void SubFolders(const std::vector<FoundFolder>& subFolders) override;
    void BeginLinks(bool anyFile) override;
    void Link(std::string_view text) override { m_out.Write(text); }
    void EndLinks(bool anyFile) override;
    void EndFolder() override {}
    bool Failed() const override { return m_out.Failed(); }

private:
    TextFile& m_out;
    std::string m_folder;  // the page text of the folder whose sub-folders and links come next
    std::string m_text;
};

}  // namespace favpage
