"""Analyse a text file with kezo_native and print what it finds.

Usage: python examples/demo.py [path]   (defaults to the shipped English sample)
"""
import pathlib
import sys

import kezo_native as kz


def main() -> None:
    default = pathlib.Path(__file__).with_name("sample_en.txt")
    path = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    text = path.read_text(encoding="utf-8")

    language = kz.detect_language(text)
    print(f"language: {language} ({kz.language_code(language)})")

    tokens = kz.tokenize(text)
    sentences = kz.split_sentences(text)
    print(f"{len(sentences)} sentences, {len(tokens)} tokens")
    with_punct = kz.TokenizerConfig()
    with_punct.keep_punctuation = True
    all_tokens = kz.tokenize(text, with_punct)
    for number, sentence in enumerate(sentences, 1):
        words = " ".join(t.text for t in all_tokens[sentence.begin:sentence.end])
        print(f"[{number}] {words}")


if __name__ == "__main__":
    main()
