#include "channels/channel_file_win.h"

#include <windows.h>
#include <msxml.h>

#include <cstdio>
#include <memory>

#include "channels/channel_file.h"
#include "common/com_ptr.h"
#include "common/text_convert.h"

namespace {

constexpr wchar_t kChannelFileName[] = L"chaines.xml";

struct BstrHolder {
    BSTR value = nullptr;
    ~BstrHolder() { SysFreeString(value); }
    std::u16string Text() const
    {
        return std::u16string(reinterpret_cast<const char16_t*>(value ? value : L""),
                              SysStringLen(value));
    }
};

// Loaded names are kept in the system code page; UTF-16 is wchar_t's encoding here.
std::string ToSystemCodePage(std::u16string_view text)
{
    return NarrowText({reinterpret_cast<const wchar_t*>(text.data()), text.size()}, CodePage::System);
}

// Name and text of one node; with `depth` > 0, its children too.
bool ReadNode(IXMLDOMNode* node, int depth, XmlNodeView& view)
{
    BstrHolder name;
    if (FAILED(node->get_nodeName(&name.value)))
        return false;
    view.name = name.Text();
    BstrHolder text;
    if (FAILED(node->get_text(&text.value)))
        return false;
    view.text = text.Text();
    if (depth == 0)
        return true;

    ComPtr<IXMLDOMNodeList> children;
    long count = 0;
    if (FAILED(node->get_childNodes(children.Put())) || !children ||
        FAILED(children->get_length(&count)))
        return false;
    view.children.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> child;
        if (FAILED(children->get_item(i, child.Put())) || !child)
            return false;
        if (!ReadNode(child.Get(), depth - 1, view.children[static_cast<std::size_t>(i)]))
            return false;
    }
    return true;
}

bool ParseDocument(const std::wstring& path, XmlNodeView& root)
{
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IXMLDOMDocument, document.PutVoid())))
        return false;
    document->put_async(VARIANT_FALSE);
    // Keeping white space is what makes leading and trailing blanks of a name
    // survive: without it the DOM trims every text. The indentation between
    // elements then shows up as text nodes, which the loader skips.
    document->put_preserveWhiteSpace(VARIANT_TRUE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);

    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(path.c_str());
    if (!source.bstrVal)
        return false;
    VARIANT_BOOL parsed = VARIANT_FALSE;
    const HRESULT hr = document->load(source, &parsed);
    VariantClear(&source);
    if (hr != S_OK || parsed != VARIANT_TRUE)
        return false;

    ComPtr<IXMLDOMElement> element;
    if (FAILED(document->get_documentElement(element.Put())) || !element)
        return false;
    // Two levels are all the format has: the entries and their fields.
    return ReadNode(element.Get(), 2, root);
}

}  // namespace

bool SaveChannelFile(const ChannelList& list, const std::wstring& path)
{
    return SaveChannelFile(list, {}, path);
}

bool SaveChannelFile(const ChannelList& list, const std::vector<ChannelChoice>& choices,
                     const std::wstring& path)
{
    const std::string bytes = FormatChannelFile(list, choices);
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"wb"), fclose);
    if (!file)
        return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return fclose(file.release()) == 0 && written;
}

void SaveChannelFile()
{
    SaveChannelFile(Chaines, ChannelChoices, kChannelFileName);
}

bool LoadChannelFile(ChannelList& list, const std::wstring& path)
{
    XmlNodeView root;
    if (!ParseDocument(path, root))
        return false;
    AppendChannelsFromRoot(root, list, ToSystemCodePage);
    return true;
}

bool LoadChannelFile(ChannelList& list, std::vector<ChannelChoice>& choices, const std::wstring& path)
{
    XmlNodeView root;
    if (!ParseDocument(path, root))
        return false;
    AppendChannelsFromRoot(root, list, choices, ToSystemCodePage);
    return true;
}

bool LoadChannelFile()
{
    return LoadChannelFile(Chaines, ChannelChoices, kChannelFileName);
}
