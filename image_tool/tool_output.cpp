#include <iostream>

#include "console/console_log.h"
#include "console/shown_name.h"
#include "image/image_target.h"
#include "image_tool/tool_commands.h"
#include "platform/last_error.h"
#include "image_tool/tool_interrupt.h"

int RefuseInput(const std::string& subject, const std::string& what)
{
    std::cout.flush();
    // A name with a line break in it must not break the one line.
    std::cerr << "mendarovel-image: " << ShownName(subject) << ": " << what << '\n';
    return kExitBadInput;
}

int RefuseStandardOutput(const std::string& what)
{
    if (platform::IsBrokenPipe(platform::GetLastErrorCode()))
        return kExitBadInput;
    return RefuseInput("standard output", what + ": " + LastErrorText());
}

int EndStandardOutput(int status)
{
    std::cout.flush();
    return std::cout ? status : RefuseStandardOutput("cannot write");
}

int WriteNewFile(const std::string& target, const std::function<bool(CImageFile&)>& write)
{
    CImageTarget file;
    if (!file.Create(target))
        return RefuseInput(target, "cannot create: " + LastErrorText());
    try {
        if (!write(file.File()))
            return RefuseInput(target, "cannot write: " + LastErrorText());
    } catch (const ImageFileError&) {
        return RefuseInput(target, "cannot write: " + LastErrorText());
    }
    if (file.Commit(CommandCancelled))
        return kExitDone;
    if (CommandCancelled())
        return RefuseInput(target, "cancelled; nothing was written");
    return RefuseInput(target, "cannot write: " + LastErrorText());
}

int WriteNewFile(const std::string& target, std::string_view bytes)
{
    return WriteNewFile(target, [bytes](CImageFile& file) {
        file.Write(bytes.data(), bytes.size());
        return true;
    });
}

int RefuseSameFile(const std::string& target)
{
    return RefuseInput(target, "is the file being read; nothing was written (name another file)");
}
