"""Unpacks one received message for the tests that check it: the decoded headers, the
text body and every attachment, written as files into a folder:
  headers.json  {"Subject": ..., "From": ..., "To": ...} (encoded words decoded)
  body.txt      the text part, as UTF-8, line feeds only
  attachment-NAME  each attachment's bytes, NAME as the message gives it
Usage: read_mail.py MESSAGE.eml FOLDER"""
import email
import email.policy
import json
import os
import sys


def unpack(message_path, folder):
    os.makedirs(folder, exist_ok=True)
    with open(message_path, "rb") as f:
        message = email.message_from_binary_file(f, policy=email.policy.default)
    headers = {name: str(message[name]) for name in ("Subject", "From", "To") if message[name] is not None}
    with open(os.path.join(folder, "headers.json"), "w", encoding="utf-8") as f:
        json.dump(headers, f, ensure_ascii=False)
    body = message.get_body(preferencelist=("plain",))
    text = body.get_content() if body is not None else ""
    with open(os.path.join(folder, "body.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(text.replace("\r\n", "\n"))
    names = []
    for part in message.iter_attachments():
        name = part.get_filename()
        names.append(name)
        with open(os.path.join(folder, "attachment-" + name), "wb") as f:
            f.write(part.get_payload(decode=True))
    return headers, text.replace("\r\n", "\n"), names


if __name__ == "__main__":
    unpack(sys.argv[1], sys.argv[2])
