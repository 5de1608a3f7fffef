#!/usr/bin/python3
"""Validates JSON files against a JSON schema (the subset docs/details.schema.json uses:
type, required, properties, items, minItems, minLength, enum, const, minimum, maximum).

    check_details_json.py SCHEMA FILE...

Prints one line per fault and exits 1 when there is any; exits 0 otherwise.
"""
import json
import sys

TYPES = {
    "object": lambda v: isinstance(v, dict),
    "array": lambda v: isinstance(v, list),
    "string": lambda v: isinstance(v, str),
    "integer": lambda v: isinstance(v, int) and not isinstance(v, bool),
    "boolean": lambda v: isinstance(v, bool),
    "null": lambda v: v is None,
}


def check(value, schema, where, faults):
    if "type" in schema:
        kinds = schema["type"] if isinstance(schema["type"], list) else [schema["type"]]
        if not any(TYPES[k](value) for k in kinds):
            faults.append("%s: %r is not of type %s" % (where, value, "/".join(kinds)))
            return
    if "const" in schema and value != schema["const"]:
        faults.append("%s: %r is not %r" % (where, value, schema["const"]))
    if "enum" in schema and value not in schema["enum"]:
        faults.append("%s: %r is not one of %r" % (where, value, schema["enum"]))
    if isinstance(value, str) and len(value) < schema.get("minLength", 0):
        faults.append("%s: too short" % where)
    if TYPES["integer"](value):
        if "minimum" in schema and value < schema["minimum"]:
            faults.append("%s: %d below %d" % (where, value, schema["minimum"]))
        if "maximum" in schema and value > schema["maximum"]:
            faults.append("%s: %d above %d" % (where, value, schema["maximum"]))
    if isinstance(value, dict):
        for key in schema.get("required", []):
            if key not in value:
                faults.append("%s: %s is missing" % (where, key))
        for key, sub in schema.get("properties", {}).items():
            if key in value:
                check(value[key], sub, where + "." + key, faults)
    if isinstance(value, list):
        if len(value) < schema.get("minItems", 0):
            faults.append("%s: fewer than %d items" % (where, schema["minItems"]))
        for i, item in enumerate(value):
            check(item, schema.get("items", {}), "%s[%d]" % (where, i), faults)


def main():
    schema = json.load(open(sys.argv[1]))
    faults = []
    for path in sys.argv[2:]:
        try:
            with open(path, encoding="utf-8") as f:
                value = json.load(f)
        except ValueError as error:
            faults.append("%s: not JSON: %s" % (path, error))
            continue
        check(value, schema, path, faults)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
