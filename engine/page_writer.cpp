// engine/page_writer.cpp: the page body, folder by folder.
#include "engine/page_writer.h"

#include "engine/html_text.h"

namespace favpage {

void PageWriter::BeginFolder(const FoundFolder& folder) {
    // The folder the walk starts from has its part right after the page head, without anchor.
    if (!folder.anchor.empty()) m_out.Write("<A NAME=\"" + folder.anchor + "\"></A>");
    m_folder.clear();
    AppendPageText(m_folder, folder.path);
}

void PageWriter::SubFolders(const std::vector<FoundFolder>& subFolders) {
    if (subFolders.empty()) return;
    m_text = "Sub-Folders in " + m_folder + "<ul>\n";
    for (const FoundFolder& sub : subFolders) {
        m_text += "<li><A HREF=\"#";
        m_text += sub.anchor;
        m_text += "\">";
        AppendPageText(m_text, sub.path);
        m_text += "</A>\n";
    }
    m_text += "</ul>\n";
    m_out.Write(m_text);
}

void PageWriter::BeginLinks(bool anyFile) {
    if (anyFile) {
        m_out.Write("<p>Shortcuts in " + m_folder + ":\n<ul>\n");
    } else {
        m_out.Write("<p>The folder " + m_folder + " has no shortcuts.<p>\n");
    }
}

void PageWriter::EndLinks(bool anyFile) {
    if (anyFile) m_out.Write("</ul>\n");
}

}  // namespace favpage
