#include <iostream>

#include "console/shown_name.h"
#include "image_tool/tool_commands.h"

int RefuseInput(const std::string& subject, const std::string& what)
{
    std::cout.flush();
    // A name with a line break in it must not break the one line.
    std::cerr << "mendarovel-image: " << ShownName(subject) << ": " << what << '\n';
    return kExitBadInput;
}
