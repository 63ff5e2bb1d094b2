// One pair of the mapping table: a CSV column and the vCard property it fills.
#pragma once

#include <string>

struct UserMapping {
    // The CSV column name as it stood in the CSV column list.
    std::string CSVColumn;
    // One of the 30 vCard property names.
    std::string vCardColumn;
};
