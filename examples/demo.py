"""Extract keywords from a text file with the kezo_native ensemble and print them.

Usage: python examples/demo.py [path] [top_k]   (defaults: the shipped English sample, 15)
"""
import pathlib
import sys

import kezo_native as kz


def main() -> None:
    default = pathlib.Path(__file__).with_name("sample_en.txt")
    path = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    text = path.read_text(encoding="utf-8")

    config = kz.EnsembleConfig()
    config.top_k = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    language = kz.detect_language(text)
    print(f"# {path.name}: {language} ({kz.language_code(language)}), "
          f"{len(kz.split_sentences(text))} sentences, {len(kz.tokenize(text))} tokens")
    for keyword in kz.extract_keywords_ensemble(text, config):
        print(f"{keyword.score:.4f}  {keyword.text}")


if __name__ == "__main__":
    main()
