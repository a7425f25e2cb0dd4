// Parts of bytes (Uint8Arrays) as one Uint8Array; a single part as it is.
export function joinedBytes(parts) {
    if (parts.length === 1) {
        return parts[0];
    }
    const bytes = new Uint8Array(parts.reduce((size, part) => size + part.length, 0));
    parts.reduce((at, part) => (bytes.set(part, at), at + part.length), 0);
    return bytes;
}
