#pragma once

#include <string>

// What the tab pages need of the converter window, their parent: the page
// counter, loading a document, and the page steps of the key filter.
class ConverterHost {
public:
    virtual int GetCurrentPage() const = 0;
    virtual int GetPageCount() const = 0;
    virtual void LoadDocument(const std::string& path) = 0;
    virtual void NextPage() = 0;
    virtual void PreviousPage() = 0;

protected:
    ~ConverterHost() = default;
};
