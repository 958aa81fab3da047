// Runs a fuzz target (linked in beside this file) over its seed corpus and a fixed set of
// damaged variants of it (cut, flipped, spliced), so every build checks it under the sanitizers
// even where the coverage-guided fuzzer is not built.

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <random>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void run(const QByteArray& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()),
                           static_cast<size_t>(input.size()));
}

QByteArray damaged(QByteArray input, std::mt19937& random) {
    if (input.isEmpty()) return input;
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<qsizetype> at(0, input.size() - 1);
    switch (kind(random)) {
        case 0: return input.left(at(random));
        case 1: input[at(random)] = static_cast<char>(random()); return input;
        case 2: input.insert(at(random), QByteArray(1 + random() % 8, static_cast<char>(random()))); return input;
        default: return input.mid(at(random)) + input.left(at(random));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER [VARIANTS]\n", argv[0]);
        return 2;
    }
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    const int variants = argc > 2 ? std::atoi(argv[2]) : 2000;
    std::mt19937 random(20261210);
    int inputs = 0;
    for (const QString& name : corpus.entryList(QDir::Files)) {
        QFile file(corpus.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray seed = file.readAll();
        run(seed);
        QByteArray input = seed;
        for (int i = 0; i < variants; ++i, ++inputs) {
            input = i % 16 == 0 ? seed : damaged(input, random);
            run(input);
        }
    }
    std::printf("replayed %d inputs from %s\n", inputs, argv[1]);
    return inputs > 0 ? 0 : 1;
}
