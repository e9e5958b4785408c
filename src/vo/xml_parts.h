// Pieces shared by the XML documents the site describes itself with (capabilities,
// availability, tables, the registry record): texts made safe for XML, and simple
// elements.
#ifndef GALSIFT_VO_XML_PARTS_H
#define GALSIFT_VO_XML_PARTS_H

#include <string>

inline const char xml_declaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// The namespaces of the resource metadata, declared on each document's root element.
inline const char resource_namespaces[] =
    " xmlns:vr=\"http://www.ivoa.net/xml/VOResource/v1.0\"\n"
    " xmlns:vs=\"http://www.ivoa.net/xml/VODataService/v1.1\"\n"
    " xmlns:cs=\"http://www.ivoa.net/xml/ConeSearch/v1.0\"\n"
    " xmlns:tr=\"http://www.ivoa.net/xml/TAPRegExt/v1.0\"\n"
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

std::string xml_text(const std::string& text);
void put_element(std::string& out, const std::string& indent, const char* name,
                 const std::string& text);
std::string utc_timestamp(long long seconds);

#endif
