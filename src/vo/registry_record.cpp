// The registry record.
#include "vo/registry_record.h"

#include "vo/vosi_tables.h"
#include "vo/xml_parts.h"

// The curation: who publishes the resource, who made it, whom to ask.
static void put_curation(std::string& out, const registry_settings& settings) {
    out += "  <curation>\n    <publisher";
    if (!settings.publisher_id.empty())
        out += " ivo-id=\"" + xml_text(settings.publisher_id) + "\"";
    out += ">" + xml_text(settings.publisher) + "</publisher>\n";
    for (const std::string& creator : settings.creators) {
        out += "    <creator>\n";
        put_element(out, "      ", "name", creator);
        out += "    </creator>\n";
    }
    out += "    <contact>\n";
    put_element(out, "      ", "name", settings.contact_name);
    if (!settings.contact_email.empty())
        put_element(out, "      ", "email", settings.contact_email);
    out += "    </contact>\n  </curation>\n";
}

// The content: subjects, description, reference page, and that it is a research catalogue.
static void put_content(std::string& out, const registry_settings& settings) {
    out += "  <content>\n";
    for (const std::string& subject : settings.subjects)
        put_element(out, "    ", "subject", subject);
    put_element(out, "    ", "description",
                settings.description +
                    " Positions in the cone search and in the downloads "
                    "of epoch 2000: " +
                    settings.frames[0].name + "; of epoch 1950: " + settings.frames[1].name + ".");
    put_element(out, "    ", "referenceURL", settings.reference_url);
    put_element(out, "    ", "type", "Catalog");
    put_element(out, "    ", "contentLevel", "Research");
    out += "  </content>\n";
}

// The coverage: the MOC (kept small), the address of the full one, the wavebands.
static void put_coverage(std::string& out, const registry_settings& settings,
                         const record_facts& facts) {
    out += "  <coverage>\n";
    if (!facts.spatial.empty())
        put_element(out, "    ", "spatial", facts.spatial);
    out += "    <footprint ivo-id=\"ivo://ivoa.net/std/moc\">" + xml_text(facts.site + "/moc") +
           "</footprint>\n";
    for (const std::string& waveband : settings.wavebands)
        put_element(out, "    ", "waveband", waveband);
    out += "  </coverage>\n";
}

// The whole record of the site described by `settings` and `facts`. The settings must
// hold what missing_record_settings asks for.
std::string record_document(const registry_settings& settings, const record_facts& facts) {
    std::string out = xml_declaration;
    out += "<ri:Resource xmlns:ri=\"http://www.ivoa.net/xml/RegistryInterface/v1.0\"\n";
    out += resource_namespaces;
    out += "\n xsi:type=\"vs:CatalogService\" created=\"" + utc_timestamp(facts.created) +
           "\" updated=\"" + utc_timestamp(facts.updated) + "\" status=\"active\">\n";
    put_element(out, "  ", "title", settings.title);
    if (!settings.short_name.empty())
        put_element(out, "  ", "shortName", settings.short_name);
    put_element(out, "  ", "identifier", settings.identifier);
    put_curation(out, settings);
    put_content(out, settings);
    for (const std::string& capability : facts.capabilities)
        out += capability;
    put_coverage(out, settings, facts);
    out += tableset_element(facts.tables);
    return out + "</ri:Resource>\n";
}
