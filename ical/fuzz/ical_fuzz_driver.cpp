// Runs the fuzz entry point over every file of the seed corpus, so that the
// corpus is a regression test without a fuzzing engine.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <Poco/DirectoryIterator.h>
#include <Poco/File.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::string> paths;
        Poco::File root(argv[i]);
        if (root.isDirectory()) {
            for (Poco::DirectoryIterator it(root), end; it != end; ++it)
                if (it->isFile())
                    paths.push_back(it->path());
        } else {
            paths.push_back(argv[i]);
        }
        for (const std::string& path : paths) {
            std::ifstream file(path, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++files;
        }
    }
    std::printf("%d inputs run\n", files);
    return files > 0 ? 0 : 1;
}
