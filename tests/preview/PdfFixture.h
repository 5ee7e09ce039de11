#pragma once

// Writes small PDF files for tests: pages with a given media box, rotation
// and optional crop box, each page drawn with a filled square so that its
// rendering is not blank.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

struct PdfPageSpec {
    double width = 612, height = 792;
    int rotate = 0;
    double cropWidth = 0, cropHeight = 0;  // 0: no crop box
};

// Numbers the objects from 1 (object 1 is the catalog), adds the
// cross-reference table and the trailer.
inline std::string AssemblePdf(const std::vector<std::string>& objects) {
    std::string out = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        out += line;
    }
    out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

inline std::string MakePdf(const std::vector<PdfPageSpec>& pages) {
    std::vector<std::string> objects(2);
    std::vector<int> kids;
    for (const PdfPageSpec& page : pages) {
        const std::string content = "0 0 1 rg 20 20 100 100 re f";
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "\nendstream");
        const int contentId = int(objects.size());
        char box[256];
        std::snprintf(box, sizeof box, "/MediaBox [0 0 %.2f %.2f]", page.width, page.height);
        std::string dict = "<< /Type /Page /Parent 2 0 R " + std::string(box);
        if (page.rotate) dict += " /Rotate " + std::to_string(page.rotate);
        if (page.cropWidth > 0) {
            std::snprintf(box, sizeof box, " /CropBox [0 0 %.2f %.2f]", page.cropWidth, page.cropHeight);
            dict += box;
        }
        dict += " /Contents " + std::to_string(contentId) + " 0 R >>";
        objects.push_back(dict);
        kids.push_back(int(objects.size()));
    }
    objects[0] = "<< /Type /Catalog /Pages 2 0 R >>";
    std::string kidList;
    for (int kid : kids) kidList += std::to_string(kid) + " 0 R ";
    objects[1] = "<< /Type /Pages /Kids [" + kidList + "] /Count " + std::to_string(kids.size()) + " >>";

    return AssemblePdf(objects);
}

inline void WritePdf(const std::string& path, const std::vector<PdfPageSpec>& pages) {
    std::ofstream(path, std::ios::binary) << MakePdf(pages);
}
