#pragma once

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "knowledge/loader.h"
#include "knowledge/sdd/sdd_import.h"
#include "support/temp_dir.h"

namespace tarvenko::test {

inline std::string echantillonSdd(const std::string &nom) { return std::string(TARVENKO_SDD_SAMPLES) + "/" + nom; }

#define EXIGE_ECHANTILLONS_SDD()                                                                                 \
    do {                                                                                                         \
        if (!std::filesystem::exists(::tarvenko::test::echantillonSdd("README.md")))                           \
            GTEST_SKIP() << "the SDD samples are not in " TARVENKO_SDD_SAMPLES;                                 \
    } while (false)

// A second reading of an SDD file, whole, with libxml2's tree and XPath: what the converter's
// streaming reading is checked against. Prefix "u" is the SDD (UBIF) namespace.
class LectureXPath {
public:
    explicit LectureXPath(const std::string &chemin)
        : m_doc(xmlReadFile(chemin.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING))
    {
        if (m_doc) {
            m_ctx = xmlXPathNewContext(m_doc);
            xmlXPathRegisterNs(m_ctx, reinterpret_cast<const xmlChar *>("u"),
                               reinterpret_cast<const xmlChar *>("http://rs.tdwg.org/UBIF/2006/"));
        }
    }
    ~LectureXPath()
    {
        if (m_ctx)
            xmlXPathFreeContext(m_ctx);
        if (m_doc)
            xmlFreeDoc(m_doc);
    }
    LectureXPath(const LectureXPath &) = delete;
    LectureXPath &operator=(const LectureXPath &) = delete;

    bool ok() const { return m_ctx != nullptr; }

    std::vector<xmlNodePtr> noeuds(const std::string &expr, xmlNodePtr depuis = nullptr) const
    {
        std::vector<xmlNodePtr> out;
        m_ctx->node = depuis ? depuis : xmlDocGetRootElement(m_doc);
        xmlXPathObjectPtr r = xmlXPathEvalExpression(reinterpret_cast<const xmlChar *>(expr.c_str()), m_ctx);
        EXPECT_NE(r, nullptr) << expr;
        if (r && r->nodesetval)
            for (int i = 0; i < r->nodesetval->nodeNr; ++i)
                out.push_back(r->nodesetval->nodeTab[i]);
        if (r)
            xmlXPathFreeObject(r);
        return out;
    }
    std::size_t compte(const std::string &expr) const { return noeuds(expr).size(); }

    static std::string attribut(xmlNodePtr n, const char *nom)
    {
        xmlChar *v = xmlGetProp(n, reinterpret_cast<const xmlChar *>(nom));
        std::string s = v ? reinterpret_cast<const char *>(v) : "";
        xmlFree(v);
        return s;
    }
    // The text of the first node `expr` finds from `depuis`, white space at both ends removed.
    std::string texte(const std::string &expr, xmlNodePtr depuis) const
    {
        const auto n = noeuds(expr, depuis);
        if (n.empty())
            return {};
        xmlChar *v = xmlNodeGetContent(n.front());
        std::string s = v ? reinterpret_cast<const char *>(v) : "";
        xmlFree(v);
        const auto a = s.find_first_not_of(" \t\r\n");
        return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
    }

private:
    xmlDocPtr m_doc = nullptr;
    xmlXPathContextPtr m_ctx = nullptr;
};

// Loads a converted key folder as start-up does.
inline ResultatChargement chargeCle(KeyModel &m, const std::string &dossier)
{
    m = KeyModel{};
    m.Chemin_Data = dossier + "/data/";
    m.Chemin_Base = m.Chemin_Data + "Tarvenko.db";
    return Charge_Connaissances(m);
}

inline void ecrit(const std::string &chemin, const std::string &contenu)
{
    std::ofstream f(chemin, std::ios::binary);
    f << contenu;
}

// Nothing left in a folder but what was there: no key, no temporary folder.
inline std::vector<std::string> contenu(const std::string &dossier)
{
    std::vector<std::string> noms;
    for (const auto &e : std::filesystem::directory_iterator(dossier))
        noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    return noms;
}

} // namespace tarvenko::test
