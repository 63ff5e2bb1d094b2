#include "carddav/Multistatus.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <climits>
#include <memory>

namespace carddav {

namespace {

constexpr std::string_view kDav = "DAV:";
constexpr std::string_view kCardDav = "urn:ietf:params:xml:ns:carddav";

bool is(const xmlNode* node, std::string_view ns, std::string_view name) {
    if (node == nullptr || node->type != XML_ELEMENT_NODE || node->ns == nullptr ||
        node->ns->href == nullptr) {
        return false;
    }
    return ns == reinterpret_cast<const char*>(node->ns->href) &&
           name == reinterpret_cast<const char*>(node->name);
}

const xmlNode* child(const xmlNode* node, std::string_view ns, std::string_view name) {
    for (const xmlNode* c = node ? node->children : nullptr; c != nullptr; c = c->next) {
        if (is(c, ns, name)) {
            return c;
        }
    }
    return nullptr;
}

std::string textOf(const xmlNode* node) {
    if (node == nullptr) {
        return {};
    }
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The properties of one <prop> whose <propstat> says 200.
void readProps(const xmlNode* prop, DavResource& resource) {
    if (const xmlNode* type = child(prop, kDav, "resourcetype")) {
        resource.collection = child(type, kDav, "collection") != nullptr;
        resource.addressBook = child(type, kCardDav, "addressbook") != nullptr;
    }
    if (const xmlNode* name = child(prop, kDav, "displayname")) {
        resource.displayName = textOf(name);
    }
    if (const xmlNode* types = child(prop, kCardDav, "supported-address-data")) {
        for (const xmlNode* type = types->children; type != nullptr; type = type->next) {
            if (is(type, kCardDav, "address-data-type")) {
                xmlChar* version = xmlGetProp(type, reinterpret_cast<const xmlChar*>("version"));
                resource.takesVersion4 |=
                    version != nullptr &&
                    std::string_view(reinterpret_cast<char*>(version)) == "4.0";
                xmlFree(version);
            }
        }
    }
    if (const xmlNode* tag = child(prop, kDav, "getetag")) {
        resource.etag = textOf(tag);
    }
    if (auto href = textOf(child(child(prop, kDav, "current-user-principal"), kDav, "href"));
        !href.empty()) {
        resource.principal = std::move(href);
    }
    if (auto href = textOf(child(child(prop, kCardDav, "addressbook-home-set"), kDav, "href"));
        !href.empty()) {
        resource.addressBookHome = std::move(href);
    }
}

struct DocDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, DocDeleter>;

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

// What the parser has met so far, kept beside its context.
struct Shape {
    int depth = 0;
    std::size_t elements = 0;
    bool refused = false;
};

Shape& shapeOf(void* context) {
    return *static_cast<Shape*>(static_cast<xmlParserCtxt*>(context)->_private);
}

void refuse(void* context) {
    shapeOf(context).refused = true;
    xmlStopParser(static_cast<xmlParserCtxt*>(context));
}

// Met at "<!DOCTYPE", before any declaration inside it is read.
void onDoctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    refuse(context);
}

void onStart(void* context, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri,
             int namespaces, const xmlChar** spaces, int attributes, int defaulted,
             const xmlChar** values) {
    Shape& shape = shapeOf(context);
    if (++shape.depth > kMaxXmlDepth || ++shape.elements > kMaxXmlElements) {
        refuse(context);
        return;
    }
    xmlSAX2StartElementNs(context, name, prefix, uri, namespaces, spaces, attributes, defaulted,
                          values);
}

void onEnd(void* context, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri) {
    --shapeOf(context).depth;
    xmlSAX2EndElementNs(context, name, prefix, uri);
}

// The document, or none when it is not well-formed or breaks a bound.
Doc parseBounded(std::string_view xml) {
    if (xml.size() > INT_MAX) {
        return nullptr;
    }
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(
        xmlCreateMemoryParserCtxt(xml.data(), static_cast<int>(xml.size())));
    if (!context) {
        return nullptr;
    }
    // No network, no entity substitution, no DTD loading; errors stay quiet.
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    Shape shape;
    context->_private = &shape;
    context->sax->internalSubset = onDoctype;
    context->sax->startElementNs = onStart;
    context->sax->endElementNs = onEnd;
    xmlParseDocument(context.get());
    Doc doc(context->myDoc);
    context->myDoc = nullptr;
    if (!context->wellFormed || shape.refused) {
        return nullptr;
    }
    return doc;
}

bool isSuccess(const std::string& statusLine) {
    const auto space = statusLine.find(' ');
    return space != std::string::npos && statusLine.compare(space + 1, 1, "2") == 0;
}

} // namespace

std::optional<std::vector<DavResource>> parseMultistatus(std::string_view xml) {
    const Doc doc = parseBounded(xml);
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!is(root, kDav, "multistatus")) {
        return std::nullopt;
    }
    std::vector<DavResource> resources;
    for (const xmlNode* r = root->children; r != nullptr; r = r->next) {
        if (!is(r, kDav, "response")) {
            continue;
        }
        DavResource resource;
        resource.href = textOf(child(r, kDav, "href"));
        const xmlNode* status = child(r, kDav, "status");
        resource.missing = status != nullptr && !isSuccess(textOf(status));
        for (const xmlNode* s = r->children; s != nullptr; s = s->next) {
            if (is(s, kDav, "propstat") &&
                textOf(child(s, kDav, "status")).find(" 200") != std::string::npos) {
                readProps(child(s, kDav, "prop"), resource);
            }
        }
        if (!resource.href.empty()) {
            resources.push_back(std::move(resource));
        }
    }
    return resources;
}

std::string_view propfindBody() {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<d:propfind xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">
  <d:prop>
    <d:resourcetype/>
    <d:displayname/>
    <c:supported-address-data/>
    <d:current-user-principal/>
    <c:addressbook-home-set/>
  </d:prop>
</d:propfind>
)";
}

std::string multigetBody(const std::vector<std::string>& paths) {
    std::string body = R"(<?xml version="1.0" encoding="utf-8"?>
<c:addressbook-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">
  <d:prop><d:getetag/></d:prop>
)";
    for (const auto& path : paths) {
        body += "  <d:href>";
        for (const char c : path) {
            body += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
        }
        body += "</d:href>\n";
    }
    return body + "</c:addressbook-multiget>\n";
}

} // namespace carddav
