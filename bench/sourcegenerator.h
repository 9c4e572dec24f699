#ifndef SOURCEGENERATOR_H
#define SOURCEGENERATOR_H

#include <string>

// Writes a source document of `entries` entries, as a job database would produce it: the four kinds
// in turn, now and then a kind the tool does not know, each with about six lines of G-code content
// holding both markers (escaped in most entries, in a CDATA section in every third one). The same
// count always gives the same bytes. Returns false when the file cannot be written.
bool writeGeneratedSource(const std::string &path, long entries);

#endif
