// The capabilities of the site's services, and the document that lists them.
#include "vo/vosi_capabilities.h"

#include "store/catalogue_store.h"
#include "vo/table_columns.h"
#include "vo/xml_parts.h"

#include <cmath>

// The position of the first entry of `store` (in the store's order) that a cone search can
// find: finite, the declination within -90..90 degrees. Returns false when there is none.
bool test_position(const catalogue_store& store, sky_position& at) {
    for (std::size_t row = 0; row < store.size(); row++) {
        at = position_of(store.entry(row));
        if (std::isfinite(at.ascension) && at.ascension >= 0 && at.ascension <= 360 &&
            std::isfinite(at.declination) && std::fabs(at.declination) <= 90)
            return true;
    }
    return false;
}

// An interface of `type` ("vs:ParamHTTP", "vr:WebBrowser") at `url`, `use` "base" for a
// URL that parameters follow, "full" for one called as it stands; when `version` is not
// null, the interface of a standard protocol (role="std") of that version ("" leaves it
// unsaid); with its queryType GET and `result_type` when that is not null.
std::string interface_element(const char* type, const std::string& url, const char* use,
                              const char* version, const char* result_type) {
    std::string out = "    <interface xsi:type=\"" + std::string(type) + "\"";
    if (version)
        out += " role=\"std\"";
    if (version && *version)
        out += " version=\"" + std::string(version) + "\"";
    out +=
        ">\n      <accessURL use=\"" + std::string(use) + "\">" + xml_text(url) + "</accessURL>\n";
    if (result_type) {
        out += "      <queryType>GET</queryType>\n";
        put_element(out, "      ", "resultType", result_type);
    }
    return out + "    </interface>\n";
}

// A capability of the standard `standard_id` with the one interface interface_element
// writes of `type`, `url`, `use` and `version`.
std::string document_capability(const char* standard_id, const char* type, const std::string& url,
                                const char* use, const char* version) {
    return "  <capability standardID=\"" + std::string(standard_id) + "\">\n" +
           interface_element(type, url, use, version, nullptr) + "  </capability>\n";
}

// The cone search's capability: its address, the largest radius and number of rows it
// answers, that it knows VERB, and a query that finds a real entry.
std::string cone_capability(const cone_capability_facts& facts) {
    std::string out = "  <capability standardID=\"ivo://ivoa.net/std/ConeSearch\" "
                      "xsi:type=\"cs:ConeSearch\">\n";
    put_element(out, "    ", "description",
                std::string("Simple Cone Search over the catalogue; positions in ") +
                    facts.frame.name +
                    ", decimal degrees. MAXREC and RESPONSEFORMAT "
                    "(votable, csv) are understood.");
    out += interface_element("vs:ParamHTTP", facts.site + "/cone?", "base", "", "text/xml");
    out += "    <maxSR>180</maxSR>\n";
    if (facts.max_records > 0)
        out += "    <maxRecords>" + std::to_string(facts.max_records) + "</maxRecords>\n";
    out += "    <verbosity>true</verbosity>\n";
    if (facts.has_test) {
        out += "    <testQuery>\n";
        out += "      <ra>" + number_text(facts.test.ascension) + "</ra>\n";
        out += "      <dec>" + number_text(facts.test.declination) + "</dec>\n";
        out += "      <sr>" + number_text(test_radius) + "</sr>\n";
        out += "    </testQuery>\n";
    }
    return out + "  </capability>\n";
}

// The capabilities of the VOSI documents of the service at `service`: its capabilities,
// availability (VOSI 1.0) and tables (version 1.1, with /tables/NAME below it) at their
// addresses under it.
std::string vosi_capabilities(const std::string& service) {
    return document_capability("ivo://ivoa.net/std/VOSI#capabilities", "vs:ParamHTTP",
                               service + "/capabilities", "full", "1.0") +
           document_capability("ivo://ivoa.net/std/VOSI#availability", "vs:ParamHTTP",
                               service + "/availability", "full", "1.0") +
           document_capability("ivo://ivoa.net/std/VOSI#tables-1.1", "vs:ParamHTTP",
                               service + "/tables", "base", "1.1");
}

// The capability of the coverage map at the site `site`: a MOC in FITS, or in its ASCII
// form with format=ascii.
std::string coverage_capability(const std::string& site) {
    std::string out = "  <capability>\n";
    put_element(out, "    ", "description",
                "The sky coverage of the catalogue: a MOC 2.0 (Multi-Order Coverage map) in "
                "FITS; with format=ascii, in its ASCII form");
    out += interface_element("vs:ParamHTTP", site + "/moc", "full", nullptr, "application/fits");
    return out + "  </capability>\n";
}

// The capabilities document holding `capabilities`, in their order.
std::string capabilities_document(const std::vector<std::string>& capabilities) {
    std::string out = xml_declaration;
    out += "<vosi:capabilities xmlns:vosi=\"http://www.ivoa.net/xml/VOSICapabilities/v1.0\"\n";
    out += resource_namespaces;
    out += ">\n";
    for (const std::string& capability : capabilities)
        out += capability;
    return out + "</vosi:capabilities>\n";
}
