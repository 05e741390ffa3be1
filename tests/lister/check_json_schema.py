#!/usr/bin/python3
"""check_json_schema.py <schema> <document>...: validates each JSON document against the
schema (JSON Schema 2020-12, Debian's python3-jsonschema); prints every violation with its
place and exits 1 when there is one, 2 when a document is no JSON at all."""
import json
import sys

from jsonschema import Draft202012Validator


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        schema = json.load(f)
    Draft202012Validator.check_schema(schema)
    validator = Draft202012Validator(schema)
    failed = 0
    for path in argv[2:]:
        try:
            with open(path, encoding="utf-8") as f:
                document = json.load(f)
        except (OSError, ValueError) as error:
            print(f"{path}: not a JSON document: {error}", file=sys.stderr)
            return 2
        for error in sorted(validator.iter_errors(document), key=lambda e: list(e.absolute_path)):
            place = "/".join(str(p) for p in error.absolute_path) or "(the document)"
            print(f"{path}: {place}: {error.message}", file=sys.stderr)
            failed = 1
    return failed


if __name__ == "__main__":
    sys.exit(main(sys.argv))
